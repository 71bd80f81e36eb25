#!/bin/bash
# Builds an OpenVPN lab of its own, runs bench_soak in its client namespace (connect and
# disconnect through the window, what the process holds every so many cycles),
# and tears the lab down again, also when the benchmark fails. Needs root.
#
#   tests/openvpn/soak.sh <build folder> [cycles [every]]
set -euo pipefail

[[ $# -ge 1 ]] || {
    echo "usage: soak.sh <build folder> [cycles [every]]" >&2
    exit 2
}
build=$(realpath "$1")
cycles=${2:-1000}
every=${3:-100}
here=$(dirname "$(realpath "$0")")
name="cvsoak$$"
CORVANE_LAB_ROOT=$(mktemp -d)
export CORVANE_LAB_ROOT
trap 'bash "$here/lab.sh" down "$name" >/dev/null || true; rmdir "$CORVANE_LAB_ROOT" 2>/dev/null || true' EXIT

bash "$here/lab.sh" up "$name" "$build/tools/servicesim/corvane-servicesim"
ip netns exec "$name-c" env QT_QPA_PLATFORM=offscreen \
    CORVANE_LAB_ENV="$(bash "$here/lab.sh" dir "$name")/lab.env" \
    "$build/bench/bench_soak" "$cycles" "$every"
