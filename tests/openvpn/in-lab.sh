#!/bin/bash
# Builds an OpenVPN lab of its own, runs one of the benchmarks in its client namespace and tears
# the lab down again, also when the benchmark fails. Needs root.
#
#   tests/openvpn/in-lab.sh <build folder> <benchmark> [its arguments]
#   tests/openvpn/in-lab.sh build/bench bench_openvpn_connect 5   # connect click to connected page
#   tests/openvpn/in-lab.sh build/bench bench_soak 1000 100       # connect and disconnect, held resources
#   tests/openvpn/in-lab.sh --networkmanager build/bench bench_soak 200 50 --networkmanager
#                                              # the same through the lab's NetworkManager
set -euo pipefail
nm=0
if [[ ${1:-} == --networkmanager ]]; then
    nm=1
    shift
fi

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
nmScript="$here/../networkmanager/nm.sh"
trap '[ $nm = 0 ] || bash "$nmScript" down "$name" >/dev/null || true
      bash "$here/lab.sh" down "$name" >/dev/null || true; rmdir "$CORVANE_LAB_ROOT" 2>/dev/null || true' EXIT

bash "$here/lab.sh" up "$name" "$build/tools/servicesim/corvane-servicesim"
dir=$(bash "$here/lab.sh" dir "$name")
extra=()
if [ $nm = 1 ]; then
    bash "$nmScript" up "$name"
    extra=(CORVANE_LAB_DIR="$dir" CORVANE_NM_DIR="$dir/nm" CORVANE_NM_SCRIPT="$nmScript"
        DBUS_SYSTEM_BUS_ADDRESS="unix:path=$dir/nm/bus")
fi
ip netns exec "$name-c" env QT_QPA_PLATFORM=offscreen CORVANE_LAB_ENV="$dir/lab.env" "${extra[@]}" \
    "$build/bench/$benchmark" "$@"
