#!/bin/bash
# NetworkManager for the tests: a private system bus and the real daemon inside the client
# namespace of an OpenVPN lab (tests/openvpn/lab.sh), kept away from this machine's own.
#
#   nm.sh up <lab-name>       start the bus and the daemon; the lab must be up
#   nm.sh restart <lab-name>  stop the daemon and start it again on the same bus, as an upgrade
#                             does on a desktop
#   nm.sh down <lab-name>     stop them; safe to run any number of times
#
# Everything the daemon and its VPN plugins write under /run, /var/lib/NetworkManager and the
# IPsec files lands in <lab folder>/nm, seen by the daemon through bind mounts in its own mount
# namespace. <lab folder>/nm/nm.env gives the bus address (DBUS_SYSTEM_BUS_ADDRESS).
set -euo pipefail

LAB=$(dirname "$0")/../openvpn/lab.sh

die() {
    echo "nm.sh: FAILED: $*" >&2
    exit 1
}

wait_for() { # tries (of 0.1 s), command...
    local tries=$1 i
    shift
    for ((i = 0; i < tries; i++)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

bus_has_nm() { # dir
    DBUS_SYSTEM_BUS_ADDRESS="unix:path=$1/bus" dbus-send --system --print-reply \
        --dest=org.freedesktop.NetworkManager /org/freedesktop/NetworkManager \
        org.freedesktop.DBus.Properties.Get string:org.freedesktop.NetworkManager string:State
}

base_active() { # dir
    DBUS_SYSTEM_BUS_ADDRESS="unix:path=$1/bus" dbus-send --system --print-reply \
        --dest=org.freedesktop.NetworkManager /org/freedesktop/NetworkManager \
        org.freedesktop.DBus.Properties.Get string:org.freedesktop.NetworkManager \
        string:PrimaryConnection | grep -q ActiveConnection/
}

started_up() { # dir
    DBUS_SYSTEM_BUS_ADDRESS="unix:path=$1/bus" dbus-send --system --print-reply \
        --dest=org.freedesktop.NetworkManager /org/freedesktop/NetworkManager \
        org.freedesktop.DBus.Properties.Get string:org.freedesktop.NetworkManager \
        string:Startup | grep -q 'boolean false'
}

start_daemon() { # dir; needs LAB_CLIENT_NS
    local dir=$1
    # /run, the state folder and the IPsec secrets are the daemon's own: nothing reaches the host's.
    ip netns exec "$LAB_CLIENT_NS" env DBUS_SYSTEM_BUS_ADDRESS="unix:path=$dir/bus" \
        unshare -m --propagation private sh -c "
            mount --bind '$dir/run' /run &&
            mount -o remount,ro /sys &&
            mount --bind '$dir/lib' /var/lib/NetworkManager &&
            mount --bind '$dir/ipsec.d' /etc/ipsec.d &&
            mount --bind '$dir/ipsec.secrets' /etc/ipsec.secrets &&
            exec setsid NetworkManager --debug --config='$dir/NetworkManager.conf' \
                --config-dir='$dir/conf.d'" \
        >>"$dir/nm.log" 2>&1 </dev/null &
    # The chain execs into the daemon: this is its process id.
    echo $! >"$dir/nm.pid"
    wait_for 100 bus_has_nm "$dir" || die "NetworkManager does not answer on the private bus (see $dir/nm.log)"
    # A device the daemon found configured is only watched; the base connection takes it over.
    DBUS_SYSTEM_BUS_ADDRESS="unix:path=$dir/bus" nmcli --wait 30 connection up lab-base >/dev/null ||
        die "the lab's base connection did not activate (see $dir/nm.log)"
    wait_for 100 started_up "$dir" || die "NetworkManager did not finish starting (see $dir/nm.log)"
    wait_for 100 base_active "$dir" || die "the lab's base connection did not activate (see $dir/nm.log)"
}

stop_pid_file() { # file
    local pid
    pid=$(cat "$1" 2>/dev/null || true)
    if [[ "$pid" =~ ^[0-9]+$ ]]; then
        kill -TERM "$pid" 2>/dev/null || true
        wait_for 50 bash -c "! kill -0 $pid" || kill -KILL "$pid" 2>/dev/null || true
    fi
}

cmd_restart() {
    local name=$1 labdir dir
    [[ $EUID -eq 0 ]] || die "needs root"
    labdir=$(bash "$LAB" dir "$name")
    dir="$labdir/nm"
    [[ -f "$dir/nm.env" ]] || die "NetworkManager of lab $name is not up"
    # shellcheck disable=SC1091
    source "$labdir/lab.env"
    stop_pid_file "$dir/nm.pid"
    start_daemon "$dir"
    echo "NetworkManager of lab $name restarted"
}

cmd_up() {
    local name=$1 labdir dir veth
    [[ $EUID -eq 0 ]] || die "needs root (namespaces, bind mounts)"
    command -v NetworkManager >/dev/null || die "NetworkManager is not installed"
    command -v dbus-daemon >/dev/null || die "dbus-daemon is not installed"
    for p in openvpn pptp l2tp; do
        [[ -f /usr/lib/NetworkManager/VPN/nm-$p-service.name ]] || die "network-manager-$p is not installed"
    done
    labdir=$(bash "$LAB" dir "$name")
    [[ -f "$labdir/lab.env" ]] || die "lab $name is not up"
    # shellcheck disable=SC1091
    source "$labdir/lab.env"
    dir="$labdir/nm"
    [[ ! -e "$dir" ]] || die "NetworkManager of lab $name runs already; run 'nm.sh down $name' first"
    trap "cp -f '$dir/nm.log' /tmp/nm-last.log 2>/dev/null; tail -n 30 '$dir/nm.log' >&2 2>/dev/null || true; cmd_down '$name' >/dev/null 2>&1 || true" EXIT
    mkdir -p "$dir"/{run,lib,keyfiles,conf.d,ipsec.d}
    chmod 755 "$labdir" "$dir"
    : >"$dir/ipsec.secrets"
    veth=$(ip -n "$LAB_CLIENT_NS" -o link show type veth | awk -F': ' '{print $2}' | cut -d@ -f1)
    [[ -n "$veth" ]] || die "no veth in $LAB_CLIENT_NS"

    cat >"$dir/NetworkManager.conf" <<CONF
[main]
plugins=keyfile
auth-polkit=false
dns=default
rc-manager=unmanaged
hostname-mode=none
no-auto-default=*
[keyfile]
path=$dir/keyfiles
[logging]
level=INFO
CONF
    # The base connection the VPNs go over: the lab's own address, a default route to the server,
# the local network's name server on the outside host.
    cat >"$dir/keyfiles/base.nmconnection" <<CONF
[connection]
id=lab-base
type=ethernet
interface-name=$veth
[ipv4]
method=manual
address1=$LAB_CLIENT_IP/24,$LAB_SERVER_IP
dns=$LAB_OUTSIDE_IP;
[ipv6]
method=manual
address1=$LAB_CLIENT_IP6/64
CONF
    chmod 600 "$dir/keyfiles/base.nmconnection"

    ip netns exec "$LAB_CLIENT_NS" setsid dbus-daemon --config-file=/usr/share/dbus-1/system.conf \
        --address="unix:path=$dir/bus" --nofork --nopidfile --print-pid=3 3>"$dir/bus.pid" \
        >"$dir/bus.log" 2>&1 </dev/null &
    wait_for 50 test -S "$dir/bus" || die "the private system bus did not start (see $dir/bus.log)"
    # Helpers the VPN plugins run (OpenVPN's up script) find the bus at its usual place, which in
    # the daemon's mount namespace is this one.
    mkdir -p "$dir/run/dbus"
    ln -s "$dir/bus" "$dir/run/dbus/system_bus_socket"

    start_daemon "$dir"
    echo "DBUS_SYSTEM_BUS_ADDRESS=unix:path=$dir/bus" >"$dir/nm.env"
    trap - EXIT
    echo "NetworkManager of lab $name is up: $dir"
}

cmd_down() {
    local name=$1 labdir dir f
    [[ $EUID -eq 0 ]] || die "needs root"
    labdir=$(bash "$LAB" dir "$name")
    dir="$labdir/nm"
    [[ -d "$dir" ]] || return 0
    # The daemon first, so that it takes its VPN plugins with it; then what they left running.
    for f in nm.pid run/starter.charon.pid run/charon.pid run/xl2tpd.pid bus.pid; do
        stop_pid_file "$dir/$f"
    done
    rm -rf -- "$dir"
    echo "NetworkManager of lab $name is down"
}

[[ $# -eq 2 ]] || { echo "usage: nm.sh up|restart|down <lab-name>" >&2; exit 2; }
case "$1" in
up) cmd_up "$2" ;;
restart) cmd_restart "$2" ;;
down) cmd_down "$2" ;;
*) echo "usage: nm.sh up|restart|down <lab-name>" >&2; exit 2 ;;
esac
