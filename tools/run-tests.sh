#!/usr/bin/env bash
# Installs what is needed, builds with warnings as errors, and runs every test: once in a
# normal build, once built with Qt 6, once under AddressSanitizer and UndefinedBehaviorSanitizer
# (Qt 5), plus the layout check and the Debian package's checks of both Qt versions; then the Windows client, its tests under Wine and its
# installer (tools/windows/run-windows-tests.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh

jobs=$(nproc)
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_WERROR=ON
cmake --build build/release -j "$jobs"
(cd build/release && ctest --output-on-failure -j "$jobs")
tools/check-package.sh build/release

tools/check-format.sh
tools/run-fuzzers.sh 30

# The same client and tests with Qt 6, and its package.
cmake -S . -B build/qt6 -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_WERROR=ON -DCORVANE_QT_MAJOR=6
cmake --build build/qt6 -j "$jobs"
(cd build/qt6 && ctest --output-on-failure -j "$jobs")
tools/check-package.sh build/qt6

cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCORVANE_WERROR=ON -DCORVANE_SANITIZE=ON
cmake --build build/sanitize -j "$jobs"
(cd build/sanitize && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    LSAN_OPTIONS=suppressions="$PWD/../../tests/lsan.supp" ctest --output-on-failure -j "$jobs")

tools/windows/run-windows-tests.sh
