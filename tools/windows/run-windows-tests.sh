#!/usr/bin/env bash
# The Windows half: builds the client, its tests and its installer for 64-bit Windows in
# build/windows (mingw-w64, posix thread model), runs the tests under Wine and checks the
# installer under Wine. The Qt prefix comes from tools/windows/qt5-mingw-prefix.sh; the service
# simulator the tests reach and the maker of their certificates are built for this machine in
# build/windows/host-tools.
set -euo pipefail
cd "$(dirname "$0")/../.."
jobs=$(nproc)
start=$(date +%s)
prefix=$(tools/windows/qt5-mingw-prefix.sh)
# Both builds go through ccache where it is installed: a second run then compiles little.
launcher=()
if command -v ccache > /dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

# The simulator and the maker of test certificates run on this machine, for the tests under Wine.
host=build/windows/host-tools
cmake -S . -B "$host" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON "${launcher[@]}"
cmake --build "$host" -j "$jobs" --target corvane-servicesim corvane-testcertificates

cmake -S . -B build/windows -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVANE_WERROR=ON \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-posix.cmake -DCORVANE_QT5_MINGW_PREFIX="$prefix" \
    -DCORVANE_HOST_SERVICESIM="$PWD/$host/tools/servicesim/corvane-servicesim" \
    -DCORVANE_HOST_TESTCERTIFICATES="$PWD/$host/tests/windows/corvane-testcertificates" "${launcher[@]}"
cmake --build build/windows -j "$jobs"
(cd build/windows && ctest --output-on-failure -j "$jobs")
echo "Windows build, tests under Wine and installer check: $(($(date +%s) - start)) s"
