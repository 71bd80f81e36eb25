#!/bin/bash
# Connect time through NetworkManager next to the client's own OpenVPN program, on one lab:
# builds an OpenVPN lab with NetworkManager in its client namespace (nm.sh), runs
# bench_openvpn_connect once through NetworkManager and once with CORVANE_NETWORKMANAGER=0, and
# tears everything down again, also when a run fails. Needs root.
#
#   tests/networkmanager/bench_connect.sh <build folder> [runs]
set -euo pipefail

[[ $# -ge 1 ]] || {
    echo "usage: bench_connect.sh <build folder> [runs]" >&2
    exit 2
}
build=$(realpath "$1")
runs=${2:-5}
here=$(dirname "$(realpath "$0")")
lab="$here/../openvpn/lab.sh"
name="cvnbench$$"
CORVANE_LAB_ROOT=$(mktemp -d)
export CORVANE_LAB_ROOT
trap 'bash "$here/nm.sh" down "$name" >/dev/null || true; bash "$lab" down "$name" >/dev/null || true
      rmdir "$CORVANE_LAB_ROOT" 2>/dev/null || true' EXIT

bash "$lab" up "$name" "$build/tools/servicesim/corvane-servicesim"
bash "$here/nm.sh" up "$name"
dir=$(bash "$lab" dir "$name")
for backend in networkmanager program; do
    echo "== $backend"
    ip netns exec "$name-c" env QT_QPA_PLATFORM=offscreen CORVANE_LAB_ENV="$dir/lab.env" \
        DBUS_SYSTEM_BUS_ADDRESS="unix:path=$dir/nm/bus" \
        CORVANE_NETWORKMANAGER="$([[ $backend == program ]] && echo 0 || echo 1)" \
        "$build/bench/bench_openvpn_connect" "$runs"
done
