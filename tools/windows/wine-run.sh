#!/usr/bin/env bash
# Runs a Windows program of the build under Wine, without a display, and passes on its exit code.
#   wine-run.sh --prefix DIR --init       makes the Wine prefix DIR (once per build folder)
#   wine-run.sh --prefix DIR [--simulator SIM] [--certificates TOOL] [--qtest] [--gui] PROGRAM [ARGUMENTS...]
# --qtest       PROGRAM is a QtTest program: it writes its report to a file, printed here (a
#               Wine program's console may not reach a pipe).
# --gui         PROGRAM makes a QApplication: it gets the offscreen platform (-platform offscreen;
#               a display-less Wine has no windows for the Windows platform).
# --simulator   starts SIM --control (the service simulator built for this machine) for the
#               program's simulators and names it in CORVANE_SERVICESIM_CONTROL; empty: none.
# --certificates  runs TOOL FOLDER (corvane-testcertificates built for this machine) to make the
#               program's TLS test certificates in a folder of its own, named in
#               CORVANE_TEST_CERTIFICATES and removed afterwards; empty: none.
set -euo pipefail
prefix="" init=0 simulator="" certificates="" qtest=0 platform=()
while [ $# -gt 0 ]; do
    case "$1" in
    --prefix) prefix=$2; shift 2 ;;
    --init) init=1; shift ;;
    --simulator) simulator=$2; shift 2 ;;
    --certificates) certificates=$2; shift 2 ;;
    --qtest) qtest=1; shift ;;
    --gui) platform=(-platform offscreen); shift ;;
    *) break ;;
    esac
done
[ -n "$prefix" ] || { echo "wine-run.sh: --prefix is missing" >&2; exit 2; }
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || { echo "wine-run.sh: $wine is missing (Debian's wine64)" >&2; exit 2; }
export WINEPREFIX=$prefix WINEDEBUG=-all
# No offer to install Mono or Gecko: no dialog can be answered here, and nothing needs them.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
export QT_QPA_PLATFORM=offscreen CORVANE_NETWORKMANAGER=0
# The offscreen platform draws text with the fonts of one folder (Wine's Z: is the root here):
# DejaVu Sans alone, which also stands in for the form's Segoe UI on Linux, so texts measure
# the same in both builds.
export QT_QPA_FONTDIR=$prefix/fonts
# A program without a console logs to the debugger; tests read what it says on stderr.
export QT_FORCE_STDERR_LOGGING=1

if [ $init -eq 1 ]; then
    rm -rf "$prefix"
    mkdir -p "$prefix"
    "$wine" wineboot --init
    /usr/lib/wine/wineserver -w
    mkdir -p "$prefix/fonts"
    for font in DejaVuSans DejaVuSans-Bold DejaVuSans-Oblique DejaVuSans-BoldOblique; do
        cp "/usr/share/fonts/truetype/dejavu/$font.ttf" "$prefix/fonts/"
    done
    [ -f "$prefix/system.reg" ] || { echo "wine-run.sh: no Wine prefix was made in $prefix" >&2; exit 1; }
    echo "Wine prefix ready: $prefix"
    exit 0
fi
[ -f "$prefix/system.reg" ] || { echo "wine-run.sh: no Wine prefix in $prefix (run --init first)" >&2; exit 2; }
[ $# -gt 0 ] || { echo "wine-run.sh: no program given" >&2; exit 2; }
program=$1; shift

cleanup() {
    if [ -n "${sim_pid:-}" ]; then
        kill "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
    fi
    if [ -n "${report:-}" ]; then rm -f "$report"; fi
    if [ -n "${certificate_dir:-}" ]; then rm -rf "$certificate_dir"; fi
}
trap cleanup EXIT

if [ -n "$simulator" ]; then
    coproc SIM { exec "$simulator" --control; }
    sim_pid=$SIM_PID
    read -r -t 30 line <&"${SIM[0]}" || { echo "wine-run.sh: $simulator did not start" >&2; exit 1; }
    export CORVANE_SERVICESIM_CONTROL=127.0.0.1:${line##* }
fi

if [ -n "$certificates" ]; then
    certificate_dir=$(mktemp -d "${TMPDIR:-/tmp}/wine-certificates.XXXXXX")
    "$certificates" "$certificate_dir" || { echo "wine-run.sh: $certificates made no certificates" >&2; exit 1; }
    export CORVANE_TEST_CERTIFICATES=$certificate_dir
fi

# The prefix's server and its service programs outlive this program while other tests use the
# prefix. Brought up here by a program of no output, they do not hold the caller's output open
# (ctest would count this test until the last one ends).
"$wine" cmd.exe /c exit < /dev/null > /dev/null 2>&1 || true

status=0
if [ $qtest -eq 1 ]; then
    report=$(mktemp "${TMPDIR:-/tmp}/wine-report.XXXXXX")
    "$wine" "$program" "${platform[@]}" -o "$report,txt" "$@" || status=$?
    cat "$report"
else
    "$wine" "$program" "${platform[@]}" "$@" || status=$?
fi
exit $status
