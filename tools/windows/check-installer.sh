#!/usr/bin/env bash
# Installs the Windows installer silently into a Wine prefix of its own, checks that every file
# is where it belongs and that the installed program answers --version, then uninstalls it.
#   check-installer.sh INSTALLER WINEPREFIX FILE-LIST RUN-REDIRECTED.EXE VERSION
set -euo pipefail
installer=$1 prefix=$2 list=$3 redirected=$4 version=$5
run="$(dirname "$0")/wine-run.sh"
target='C:\Program Files\Corvane'
installed="$prefix/drive_c/Program Files/Corvane"
status=0
fail() { echo "FAIL: $*"; status=1; }

"$run" --prefix "$prefix" --init
# /S is the switch the self-update passes.
"$run" --prefix "$prefix" "$installer" /S || fail "the installer exited with $?"
while IFS= read -r name; do
    [ -n "$name" ] || continue
    [ -f "$installed/$name" ] || fail "not installed: $name"
done < "$list"
[ -d "$installed/include" ] || fail "no include folder"
[ -f "$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Corvane/Corvane.lnk" ] ||
    fail "no Start-menu entry"
answer=$("$run" --prefix "$prefix" "$redirected" "$target\\corvane.exe" --version | tr -d '\r') ||
    fail "corvane.exe --version exited with $?"
[ "$answer" = "Corvane $version" ] || fail "corvane.exe --version said: $answer"
# The uninstaller runs a copy of itself from the temporary folder and leaves at once: wait
# until every program of the prefix has ended.
"$run" --prefix "$prefix" "$installed/uninstall.exe" /S || fail "the uninstaller exited with $?"
WINEPREFIX=$prefix /usr/lib/wine/wineserver -w || true
left=$(find "$installed" 2>/dev/null | head -5 || true)
[ -z "$left" ] || fail "left after uninstalling: $left"
[ ! -e "$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Corvane" ] ||
    fail "the Start-menu entry stayed"
if [ $status -eq 0 ]; then
    echo "installer $(basename "$installer") ($(stat -c %s "$installer") bytes): installed, answered \"$answer\", uninstalled"
fi
exit $status
