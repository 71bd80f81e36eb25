#!/usr/bin/env bash
# Installs what is needed, builds, starts the service simulator with the demo data and the
# client pointed at it. PPTP and L2TP use the simulated phone book.
#   tools/run-demo.sh            the demo on this desktop (or in Xvfb when there is none)
#   tools/run-demo.sh --openvpn  also a real OpenVPN server in a network namespace (root)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
tools/install-deps.sh

build=$root/build/demo
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"
sim=$build/tools/servicesim/corvane-servicesim

# The installation's layout beside the program: OpenVPN's program and work files live there.
run=$build/run
mkdir -p "$run" "$build/openvpn" "$build/include"
ln -sf "$(command -v openvpn || echo /usr/sbin/openvpn)" "$build/openvpn/openvpn"

pids=()
lab=""
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    if [ -n "$lab" ]; then bash tests/openvpn/lab.sh down "$lab" >/dev/null 2>&1 || true; fi
}
trap cleanup EXIT INT TERM

data=$run/demo-data.json
/usr/bin/python3 tools/demo/local-echo.py tools/servicesim/demo-data.json "$data"
netns=()
if [ "${1:-}" = "--openvpn" ]; then
    if [ "$(id -u)" -ne 0 ] || [ ! -c /dev/net/tun ] || ! ip netns list >/dev/null 2>&1; then
        echo "--openvpn needs root, /dev/net/tun and network namespaces (ip netns)." >&2
        exit 1
    fi
    lab=corvanedemo
    CORVANE_LAB_ROOT=$build bash tests/openvpn/lab.sh up "$lab" "$sim"
    labdir=$(CORVANE_LAB_ROOT=$build bash tests/openvpn/lab.sh dir "$lab")
    # The demo data gains the lab's server and its user; the simulator and the client both
    # run in the lab's client namespace.
    /usr/bin/python3 tools/demo/add-lab-server.py "$data" "$labdir" "$run/demo-data-openvpn.json"
    data=$run/demo-data-openvpn.json
    netns=(ip netns exec "$lab-c")
fi

# The service speaks HTTPS as the real one does, with an authority made for this run that only
# the demo's client trusts (CORVANE_CA_CERTIFICATES); no key outlives the demo's folder.
tls=$run/tls
rm -rf "$tls"
mkdir -p -m 0700 "$tls"
openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -days 7 \
    -subj "/O=Corvane demo/CN=Corvane Demo Authority" -keyout "$tls/ca.key" -out "$tls/ca.pem" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
openssl req -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -subj "/O=Corvane demo/CN=127.0.0.1" \
    -keyout "$tls/server.key" -out "$tls/server.csr" 2>/dev/null
printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=serverAuth\nsubjectAltName=IP:127.0.0.1,DNS:localhost\n' >"$tls/server.ext"
openssl x509 -req -in "$tls/server.csr" -CA "$tls/ca.pem" -CAkey "$tls/ca.key" -CAcreateserial -days 7 \
    -extfile "$tls/server.ext" -out "$tls/server.pem" 2>/dev/null
export CORVANE_CA_CERTIFICATES=$tls/ca.pem

log=$run/servicesim.log
"${netns[@]}" "$sim" --data "$data" --port 0 --cert "$tls/server.pem" --key "$tls/server.key" >"$log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do grep -q "listening on" "$log" && break; sleep 0.1; done
base=$(sed -n 's/.*listening on //p' "$log" | head -n 1)
[ -n "$base" ] || { cat "$log"; echo "the service simulator did not start" >&2; exit 1; }
echo "service simulator: $base (accounts demo/demo and lapsed/lapsed)"

export CORVANE_SERVICE_URL=$base CORVANE_WEBSITE_URL=$base CORVANE_IPECHO_URL=$base/ip/
export CORVANE_SIMULATED_DIALUP=1
# The first server of the list (US New York, 198.18.1.1) refuses every dial, to show the error path.
export CORVANE_SIMULATED_DIALUP_FAILING_ADDRESSES=198.18.1.1
if [ -n "$lab" ]; then
    export CORVANE_IPECHO_URL=http://198.18.100.1/ip/
    echo "OpenVPN lab up: log in as alice / wonderland and connect to \"Lab OpenVPN\" by OpenVPN."
fi
client=("${netns[@]}" "$build/corvane")

cd "$run"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No desktop session: the client runs in Xvfb (screen :99)."
    xvfb-run -n 99 -s "-screen 0 1024x768x24" "${client[@]}"
else
    "${client[@]}"
fi
