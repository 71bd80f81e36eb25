#!/usr/bin/env bash
# The Windows half: builds the client, its tests and its installer for 64-bit Windows in
# build/windows (mingw-w64, posix thread model), runs the tests under Wine and checks the
# installer under Wine. The Qt prefix comes from tools/windows/qt5-mingw-prefix.sh; the service
# simulator the tests reach is built for this machine in build/windows/host-tools.
set -euo pipefail
cd "$(dirname "$0")/../.."
jobs=$(nproc)
start=$(date +%s)
prefix=$(tools/windows/qt5-mingw-prefix.sh)

cmake -S . -B build/windows/host-tools -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
cmake --build build/windows/host-tools -j "$jobs" --target corvane-servicesim

cmake -S . -B build/windows -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVANE_WERROR=ON \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-posix.cmake -DCORVANE_QT5_MINGW_PREFIX="$prefix" \
    -DCORVANE_HOST_SERVICESIM="$PWD/build/windows/host-tools/tools/servicesim/corvane-servicesim"
cmake --build build/windows -j "$jobs"
(cd build/windows && ctest --output-on-failure -j "$jobs")
echo "Windows build, tests under Wine and installer check: $(($(date +%s) - start)) s"
