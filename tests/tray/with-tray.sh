#!/usr/bin/env bash
# Runs a test under an X server of its own with a system tray host (trayer) on it, so the
# tray icon is a real icon that takes real clicks; ends both afterwards.
set -euo pipefail
for tool in Xvfb trayer xdotool; do
    command -v "$tool" >/dev/null || { echo "needs $tool: run tools/install-deps.sh" >&2; exit 1; }
done
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
# An X server that fails to come up (a display number taken at the same moment) is given
# two more tries before the test fails.
started=""
for attempt in 1 2 3; do
    : >"$work/display"
    Xvfb -displayfd 5 -screen 0 800x600x24 -nolisten tcp 5>"$work/display" 2>"$work/xvfb.log" &
    xvfb=$!
    pids+=($xvfb)
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
    [ -s "$work/display" ] || { kill "$xvfb" 2>/dev/null || true; continue; }
    export DISPLAY=":$(cat "$work/display")"
    trayer --edge top --align right --widthtype request --height 32 --SetDockType false \
        --transparent false >"$work/trayer.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do xdotool search --class trayer >/dev/null 2>&1 && break; sleep 0.1; done
    if xdotool search --class trayer >/dev/null 2>&1; then
        started=yes
        break
    fi
    echo "attempt $attempt: the X server or trayer did not start" >&2
    cat "$work/xvfb.log" "$work/trayer.log" >&2
    kill "$xvfb" 2>/dev/null || true
done
[ -n "$started" ] || { echo "no X server with a tray host could be started" >&2; exit 1; }
# The tray draws without OpenGL; left on, the X plugin loads a GL driver and unloads it at exit,
# and what the driver keeps for its life then shows as a leak no suppression can name.
QT_XCB_GL_INTEGRATION=none QT_QPA_PLATFORM=xcb "$@"
