#!/usr/bin/env bash
# Installs the Debian 12 packages the client, its tests and its demo need.
set -euo pipefail
packages=(
    build-essential cmake ninja-build pkg-config clang-format
    clang-14 libclang-rt-14-dev llvm-14
    qtbase5-dev qtbase5-dev-tools libqt5svg5-dev libqt5x11extras5-dev
    libcpp-httplib-dev
    qtkeychain-qt5-dev libqt5keychain1 libsecret-1-0 gnome-keyring dbus dbus-x11
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
    qt6-translations-l10n qtkeychain-qt6-dev qt6-qpa-plugins libqt6svg6 libxcb1-dev
    openvpn openssl iproute2 python3 nftables
    network-manager network-manager-openvpn network-manager-pptp network-manager-l2tp libnm-dev
    g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine64 nsis
    perl xz-utils
    fonts-dejavu-core fonts-liberation2 xvfb trayer xdotool
    linux-perf
    qttools5-dev qttools5-dev-tools qttranslations5-l10n
    dpkg-dev file lintian desktop-file-utils appstream python3-pil
)
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# systemd-resolved, for the test of the tunnel's name servers through it. Installed, it would take
# over this machine's own name resolution, so its package (the installed systemd's version: it
# uses systemd's private library) is unpacked to a folder of its own and run only inside a test's
# namespaces, as its own system user.
resolved=/opt/corvane-systemd-resolved
if [ ! -x "$resolved/lib/systemd/systemd-resolved" ]; then
    work=$(mktemp -d)
    version=$(dpkg-query -W -f='${Version}' systemd)
    (cd "$work" && { $sudo apt-get download -qq "systemd-resolved=$version" 2>/dev/null ||
        $sudo apt-get download -qq systemd-resolved; })
    $sudo dpkg -x "$work"/systemd-resolved_*.deb "$resolved"
    rm -rf "$work"
fi
id systemd-resolve > /dev/null 2>&1 ||
    $sudo useradd --system --no-create-home --home-dir /run/systemd --shell /usr/sbin/nologin systemd-resolve
