#!/usr/bin/env bash
# Installs the Debian 12 packages the client, its tests and its demo need.
set -euo pipefail
packages=(
    build-essential cmake ninja-build pkg-config clang-format
    clang-14 libclang-rt-14-dev llvm-14
    qtbase5-dev qtbase5-dev-tools libqt5svg5-dev libqt5x11extras5-dev
    libcpp-httplib-dev
    qtkeychain-qt5-dev libqt5keychain1 libsecret-1-0 gnome-keyring dbus dbus-x11
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
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
