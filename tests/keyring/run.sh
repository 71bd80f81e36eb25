#!/bin/sh
# Runs one test program against a real Secret Service: gnome-keyring-daemon on the private
# session bus of dbus-run-session, in a home folder of its own whose login keyring is unlocked
# with an empty password. Use: dbus-run-session -- sh run.sh PROGRAM [ARGS...]
# A daemon that does not come up fails the test.
set -eu

if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]; then
    echo "run.sh: no session bus; run me under dbus-run-session" >&2
    exit 1
fi

home=$(mktemp -d "${TMPDIR:-/tmp}/corvane-keyring.XXXXXX")
daemon=""
cleanup() {
    if [ -n "$daemon" ]; then
        kill "$daemon" 2>/dev/null || true
        wait "$daemon" 2>/dev/null || true
    fi
    rm -rf "$home"
}
trap cleanup EXIT INT TERM

export HOME="$home/home"
export XDG_CONFIG_HOME="$HOME/.config"
export XDG_DATA_HOME="$HOME/.local/share"
export XDG_CACHE_HOME="$HOME/.cache"
export XDG_RUNTIME_DIR="$home/run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$HOME" "$XDG_RUNTIME_DIR"
# The test checks that it runs in this home, never in a real one.
export CORVANE_KEYRING_HOME="$HOME"

echo '' | gnome-keyring-daemon --foreground --unlock --components=secrets >"$home/daemon.log" 2>&1 &
daemon=$!

tries=0
until dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.freedesktop.secrets 2>/dev/null | grep -q 'boolean true'; do
    tries=$((tries + 1))
    if [ "$tries" -gt 100 ] || ! kill -0 "$daemon" 2>/dev/null; then
        echo "run.sh: gnome-keyring-daemon did not provide the Secret Service" >&2
        cat "$home/daemon.log" >&2
        exit 1
    fi
    sleep 0.1
done

status=0
"$@" || status=$?
exit "$status"
