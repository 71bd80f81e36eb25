#!/bin/bash
# A throw-away OpenVPN lab in two network namespaces, for the end-to-end tests.
#
#   lab.sh up <name> [servicesim-binary]   build the lab (the binary may also come from
#                                          $CORVANE_SERVICESIM)
#   lab.sh down <name>                     tear it down; safe to run any number of times
#   lab.sh dir <name>                      print the lab folder
#
# Layout (every lab has its own namespaces, so the same addresses serve parallel labs):
#   <name>-c  client namespace, veth 198.18.0.2/24, route to 198.18.100.0/24 via the server
#   <name>-s  server namespace, veth 198.18.0.1/24, OpenVPN on udp 198.18.0.1:1194,
#             IP-echo page http://198.18.100.1/ip/ (the service simulator) on its loopback
#   tunnel    198.19.0.0/24, server 198.19.0.1, each user's address fixed by client-config-dir
#   outside   198.18.0.5 and 2001:db8::5 on the server's veth: a host of the local network, the
#             client namespace's name server (/etc/netns/<name>-c/resolv.conf) and the place a
#             leak around the tunnel arrives at; the client has 2001:db8::2, and no IPv6 in the
#             tunnel
#   pushed    the name server 198.18.100.53, routed through the tunnel
#
# The lab folder ($CORVANE_LAB_ROOT or /tmp, then corvane-lab-<name>) holds ca.crt, the
# client configuration client.ovpn, the users file and lab.env with all of the above.
set -euo pipefail

readonly SERVER_IP=198.18.0.1
readonly CLIENT_IP=198.18.0.2
readonly ECHO_IP=198.18.100.1
readonly TUNNEL_SERVER_IP=198.19.0.1
# The name server the server pushes, through the tunnel; nothing answers there unless a test
# listens on it.
readonly DNS_IP=198.18.100.53
readonly OUTSIDE_IP=198.18.0.5
readonly CLIENT_IP6=2001:db8::2
readonly OUTSIDE_IP6=2001:db8::5
readonly PORT=1194
# The system's own interpreter: wrappers such as pyenv shims take seconds to start.
PYTHON=$(command -v /usr/bin/python3 || command -v python3 || true)
readonly PYTHON
# user, password, tunnel address. carol's password is not ASCII on purpose. alice's is fixed for
# the demo; bob's and carol's end in a part of this lab's own, so a search for one finds nothing
# but what this lab's client left behind.
LAB_SECRET=$(head -c 6 /dev/urandom | od -An -tx1 | tr -d ' \n')
readonly LAB_SECRET
readonly USERS=("alice:wonderland:198.19.0.10" "bob:builder-$LAB_SECRET:198.19.0.11"
    "carol:p\xc3\xa4ssw\xc3\xb6rd-$LAB_SECRET:198.19.0.12")

die() {
    echo "lab.sh: FAILED: $*" >&2
    exit 1
}

usage() {
    echo "usage: lab.sh up <name> [servicesim-binary] | down <name> | dir <name>" >&2
    exit 2
}

lab_dir() {
    echo "${CORVANE_LAB_ROOT:-/tmp}/corvane-lab-$1"
}

check_name() {
    [[ "$1" =~ ^[A-Za-z0-9][A-Za-z0-9_.-]{0,40}$ ]] || die "bad lab name '$1' (letters, digits, . _ -; at most 41)"
}

# Interface names are limited to 15 characters, so the veth ends are named by a hash.
veth_base() {
    echo "cv$(printf '%s' "$1" | sha1sum | cut -c1-8)"
}

wait_for() { # tries (of 0.1 s), command...
    local tries=$1 i
    shift
    for ((i = 0; i < tries; i++)); do
        if "$@" >/dev/null 2>&1; then
            return 0
        fi
        sleep 0.1
    done
    return 1
}

fetch_echo() { # namespace
    ip netns exec "$1" "$PYTHON" -c "import urllib.request as u,sys; sys.stdout.write(u.build_opener(u.ProxyHandler({})).open('http://$ECHO_IP/ip/', timeout=2).read().decode())"
}

make_certificates() {
    local dir=$1
    openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 \
        -subj "/CN=Corvane Lab CA" -keyout "$dir/ca.key" -out "$dir/ca.crt" 2>/dev/null
    openssl req -new -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes \
        -subj "/CN=corvane-lab-server" -keyout "$dir/server.key" -out "$dir/server.csr" 2>/dev/null
    cat >"$dir/server.ext" <<EOF
basicConstraints = CA:FALSE
keyUsage = critical, digitalSignature, keyAgreement
extendedKeyUsage = serverAuth
EOF
    openssl x509 -req -in "$dir/server.csr" -CA "$dir/ca.crt" -CAkey "$dir/ca.key" -CAcreateserial \
        -days 2 -extfile "$dir/server.ext" -out "$dir/server.crt" 2>/dev/null
    chmod 600 "$dir/ca.key" "$dir/server.key"
}

write_server_files() {
    local dir=$1
    mkdir -p "$dir/ccd"
    : >"$dir/users"
    chmod 600 "$dir/users"
    local entry user pass address
    for entry in "${USERS[@]}"; do
        IFS=: read -r user pass address <<<"$entry"
        printf '%s:%b\n' "$user" "$pass" >>"$dir/users"
        echo "ifconfig-push $address 255.255.255.0" >"$dir/ccd/$user"
    done
    cat >"$dir/verify.sh" <<EOF
#!/bin/sh
# Called by the server with a file holding the user name and the password, one per line.
user=\$(sed -n 1p "\$1")
pass=\$(sed -n 2p "\$1")
grep -qxF -- "\$user:\$pass" "$dir/users"
EOF
    chmod 700 "$dir/verify.sh"
    cat >"$dir/server.conf" <<EOF
dev tun
proto udp
local $SERVER_IP
port $PORT
topology subnet
server 198.19.0.0 255.255.255.0 nopool
client-config-dir $dir/ccd
ccd-exclusive
push "route $ECHO_IP 255.255.255.255"
push "route $DNS_IP 255.255.255.255"
push "dhcp-option DNS $DNS_IP"
ca $dir/ca.crt
cert $dir/server.crt
key $dir/server.key
dh none
verify-client-cert none
username-as-common-name
script-security 2
auth-user-pass-verify $dir/verify.sh via-file
tmp-dir $dir
keepalive 10 60
# Clients hear a restart at once instead of after their ping timeout.
explicit-exit-notify 1
writepid $dir/server.pid
log $dir/server.log
verb 3
EOF
    # What the service hands out; the CA comes separately and the credentials on the command line.
    cat >"$dir/client.ovpn" <<EOF
client
dev tun
proto udp
remote $SERVER_IP $PORT
nobind
remote-cert-tls server
auth-user-pass
explicit-exit-notify 1
verb 3
EOF
}

cmd_up() {
    local name=$1 sim=${2:-${CORVANE_SERVICESIM:-}}
    check_name "$name"
    [[ $EUID -eq 0 ]] || die "needs root (network namespaces, TUN)"
    [[ -c /dev/net/tun ]] || die "this machine has no TUN device (/dev/net/tun); the OpenVPN lab cannot run"
    command -v openvpn >/dev/null || die "openvpn is not installed"
    command -v openssl >/dev/null || die "openssl is not installed"
    [[ -n "$PYTHON" ]] || die "python3 is not installed"
    [[ -n "$sim" ]] || die "no service simulator given (argument or CORVANE_SERVICESIM)"
    [[ -x "$sim" ]] || die "service simulator '$sim' is not an executable"

    local dir cns sns veth
    dir=$(lab_dir "$name")
    cns="$name-c"
    sns="$name-s"
    veth=$(veth_base "$name")
    if [[ -e "$dir" ]] || ip netns list | grep -qE "^($cns|$sns)( |\$)"; then
        die "lab '$name' exists already; run 'lab.sh down $name' first"
    fi
    # From here on a failure leaves no half-built lab behind.
    # shellcheck disable=SC2064 # the names are fixed now
    trap "tail -n 20 '$dir/server.log' '$dir/echo.log' >&2 2>/dev/null || true
          echo 'lab.sh: tearing down the half-built lab $name' >&2
          cmd_down '$name' >/dev/null 2>&1 || true" EXIT
    mkdir -p "$dir"
    chmod 700 "$dir"

    ip netns add "$cns" || die "cannot create network namespaces (ip netns add $cns)"
    ip netns add "$sns" || die "cannot create network namespaces (ip netns add $sns)"
    ip link add "${veth}c" netns "$cns" type veth peer name "${veth}s" netns "$sns" ||
        die "cannot create a veth pair"
    ip -n "$cns" link set lo up
    ip -n "$sns" link set lo up
    ip -n "$cns" addr add "$CLIENT_IP/24" dev "${veth}c"
    ip -n "$sns" addr add "$SERVER_IP/24" dev "${veth}s"
    ip -n "$cns" link set "${veth}c" up
    ip -n "$sns" link set "${veth}s" up
    ip -n "$sns" addr add "$ECHO_IP/32" dev lo
    ip -n "$sns" addr add "$DNS_IP/32" dev lo
    ip -n "$sns" addr add "$OUTSIDE_IP/24" dev "${veth}s"
    ip -n "$cns" addr add "$CLIENT_IP6/64" dev "${veth}c" nodad
    ip -n "$sns" addr add "$OUTSIDE_IP6/64" dev "${veth}s" nodad
    # What "ip netns exec" shows the client namespace as /etc/resolv.conf: the local network's
    # name server, never this machine's own file.
    mkdir -p "/etc/netns/$cns"
    echo "nameserver $OUTSIDE_IP" >"/etc/netns/$cns/resolv.conf"
    # A /24 so that the /32 the server pushes is more specific and takes over.
    ip -n "$cns" route add 198.18.100.0/24 via "$SERVER_IP"

    make_certificates "$dir"
    write_server_files "$dir"

    ip netns exec "$sns" openvpn --config "$dir/server.conf" --daemon corvane-lab-server ||
        die "the OpenVPN server did not start (see $dir/server.log)"
    wait_for 100 grep -q "Initialization Sequence Completed" "$dir/server.log" ||
        die "the OpenVPN server did not come up within 10 s (see $dir/server.log)"

    ip netns exec "$sns" setsid "$sim" --host "$ECHO_IP" --port 80 >"$dir/echo.log" 2>&1 </dev/null &
    local echo_pid=$! i
    echo "$echo_pid" >"$dir/echo.pid"
    for ((i = 0; i < 50; i++)); do
        kill -0 "$echo_pid" 2>/dev/null || die "the service simulator stopped at once"
        ! fetch_echo "$cns" >/dev/null 2>&1 || break
        sleep 0.1
    done
    ((i < 50)) || die "the IP-echo page does not answer"
    fetch_echo "$cns" | grep -qF "Address: $CLIENT_IP</body>" ||
        die "the IP-echo page does not show the client's address $CLIENT_IP"

    local entry user pass address
    {
        echo "LAB_NAME=$name"
        echo "LAB_DIR=$dir"
        echo "LAB_CLIENT_NS=$cns"
        echo "LAB_SERVER_NS=$sns"
        echo "LAB_SERVER_IP=$SERVER_IP"
        echo "LAB_SERVER_PORT=$PORT"
        echo "LAB_CLIENT_IP=$CLIENT_IP"
        echo "LAB_TUNNEL_SERVER_IP=$TUNNEL_SERVER_IP"
        echo "LAB_ECHO_URL=http://$ECHO_IP/ip/"
        echo "LAB_DNS_IP=$DNS_IP"
        echo "LAB_OUTSIDE_IP=$OUTSIDE_IP"
        echo "LAB_OUTSIDE_IP6=$OUTSIDE_IP6"
        echo "LAB_CLIENT_IP6=$CLIENT_IP6"
        for entry in "${USERS[@]}"; do
            IFS=: read -r user pass address <<<"$entry"
            echo "LAB_USER_${user^^}=$user"
            echo "LAB_PASSWORD_${user^^}=$(printf '%b' "$pass")"
            echo "LAB_TUNNEL_IP_${user^^}=$address"
        done
    } >"$dir/lab.env"
    trap - EXIT
    echo "lab $name is up: $dir"
}

kill_pidfile() { # file
    local pid
    [[ -f "$1" ]] || return 0
    pid=$(cat "$1" 2>/dev/null || true)
    if [[ "$pid" =~ ^[0-9]+$ ]]; then
        kill -TERM "$pid" 2>/dev/null || true
    fi
}

kill_namespace() { # namespace
    local pids i
    ip netns list | grep -qE "^$1( |\$)" || return 0
    pids=$(ip netns pids "$1" 2>/dev/null || true)
    [[ -n "$pids" ]] || return 0
    kill -TERM $pids 2>/dev/null || true
    for ((i = 0; i < 30; i++)); do
        pids=$(ip netns pids "$1" 2>/dev/null || true)
        [[ -n "$pids" ]] || return 0
        sleep 0.1
    done
    kill -KILL $pids 2>/dev/null || true
}

cmd_down() {
    local name=$1 dir
    check_name "$name"
    [[ $EUID -eq 0 ]] || die "needs root"
    dir=$(lab_dir "$name")
    kill_pidfile "$dir/echo.pid"
    kill_pidfile "$dir/server.pid"
    # Whatever still runs in the lab's namespaces (a client OpenVPN left by a test) belongs to it.
    kill_namespace "$name-c"
    kill_namespace "$name-s"
    ip netns del "$name-c" 2>/dev/null || true
    rm -rf -- "/etc/netns/$name-c"
    ip netns del "$name-s" 2>/dev/null || true
    rm -rf -- "$dir"
    echo "lab $name is down"
}

[[ $# -ge 2 ]] || usage
case "$1" in
up) cmd_up "$2" "${3:-}" ;;
down) cmd_down "$2" ;;
dir) lab_dir "$2" ;;
*) usage ;;
esac
