#!/bin/bash
# Builds an OpenVPN lab of its own, runs one of the benchmarks in its client namespace and tears
# the lab down again, also when the benchmark fails. Needs root.
#
#   tests/openvpn/in-lab.sh <build folder> <benchmark> [its arguments]
#   tests/openvpn/in-lab.sh build/bench bench_openvpn_connect 5   # connect click to connected page
#   tests/openvpn/in-lab.sh build/bench bench_soak 1000 100       # connect and disconnect, held resources
set -euo pipefail

[[ $# -ge 2 ]] || {
    echo "usage: in-lab.sh <build folder> <benchmark> [arguments]" >&2
    exit 2
}
build=$(realpath "$1")
benchmark=$2
shift 2
here=$(dirname "$(realpath "$0")")
name="cvbench$$"
CORVANE_LAB_ROOT=$(mktemp -d)
export CORVANE_LAB_ROOT
trap 'bash "$here/lab.sh" down "$name" >/dev/null || true; rmdir "$CORVANE_LAB_ROOT" 2>/dev/null || true' EXIT

bash "$here/lab.sh" up "$name" "$build/tools/servicesim/corvane-servicesim"
ip netns exec "$name-c" env QT_QPA_PLATFORM=offscreen \
    CORVANE_LAB_ENV="$(bash "$here/lab.sh" dir "$name")/lab.env" \
    "$build/bench/$benchmark" "$@"
