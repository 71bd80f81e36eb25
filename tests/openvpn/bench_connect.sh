#!/bin/bash
# Builds an OpenVPN lab of its own, runs bench_openvpn_connect in its client namespace (the
# time from the connect click to the connected page, with the real 3-second status timer),
# and tears the lab down again, also when the benchmark fails. Needs root.
#
#   tests/openvpn/bench_connect.sh <build folder> [runs]
set -euo pipefail

[[ $# -ge 1 ]] || {
    echo "usage: bench_connect.sh <build folder> [runs]" >&2
    exit 2
}
build=$(realpath "$1")
runs=${2:-5}
here=$(dirname "$(realpath "$0")")
name="cvbench$$"
CORVANE_LAB_ROOT=$(mktemp -d)
export CORVANE_LAB_ROOT
trap 'bash "$here/lab.sh" down "$name" >/dev/null || true; rmdir "$CORVANE_LAB_ROOT" 2>/dev/null || true' EXIT

bash "$here/lab.sh" up "$name" "$build/tools/servicesim/corvane-servicesim"
ip netns exec "$name-c" env QT_QPA_PLATFORM=offscreen \
    CORVANE_LAB_ENV="$(bash "$here/lab.sh" dir "$name")/lab.env" \
    "$build/bench/bench_openvpn_connect" "$runs"
