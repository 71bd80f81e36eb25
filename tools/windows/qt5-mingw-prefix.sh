#!/usr/bin/env bash
# Prints the path of a Qt 5.15 prefix for 64-bit Windows (qtbase with Schannel TLS, qtsvg,
# QtTest, and QtKeychain 0.13.2), made once per user and reused:
#   - from ../shared/qt5-mingw/corvane-qt5-mingw.tar.xz beside the clone when it is there;
#   - else built from Debian 12's own source packages with mingw-w64 in its posix thread model
#     (about an hour on two cores). QtKeychain's source is not a Debian source package here:
#     its public release 0.13.2 (tag v0.13.2) is taken from ../shared/qt5-mingw or from
#     $CORVANE_QTKEYCHAIN_SOURCE (a .tar.gz of that tag).
# The cache is ${XDG_CACHE_HOME:-~/.cache}/corvane; CORVANE_QT5_MINGW_CACHE names another.
# CORVANE_QT5_MINGW_ARCHIVE names another archive; set empty, it makes the script build.
# Progress goes to the standard error stream, the prefix's path to the standard output.
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
shared=$repo/../shared/qt5-mingw
cache=${CORVANE_QT5_MINGW_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/corvane}
prefix=$cache/corvane-qt5-mingw
ready=$prefix/.corvane-ready
say() { echo "qt5-mingw-prefix: $*" >&2; }

if [ -f "$ready" ]; then
    echo "$prefix"
    exit 0
fi
mkdir -p "$cache"
rm -rf "$prefix"

archive=${CORVANE_QT5_MINGW_ARCHIVE-$shared/corvane-qt5-mingw.tar.xz}
if [ -n "$archive" ] && [ -f "$archive" ]; then
    say "unpacking $archive into $cache"
    tar -C "$cache" -xJf "$archive"
    [ -f "$prefix/lib/cmake/Qt5/Qt5Config.cmake" ] || { say "the archive holds no Qt prefix"; exit 1; }
    touch "$ready"
    echo "$prefix"
    exit 0
fi

keychain=${CORVANE_QTKEYCHAIN_SOURCE:-$shared/qtkeychain-0.13.2.tar.gz}
if [ ! -f "$keychain" ]; then
    say "QtKeychain 0.13.2's source is missing: set CORVANE_QTKEYCHAIN_SOURCE to a .tar.gz of its" \
        "public release (tag v0.13.2 of the QtKeychain repository)"
    exit 1
fi
work=$cache/qt5-mingw-build
say "building Qt 5.15 and QtKeychain for Windows from source in $work (about an hour on two cores)"
mkdir -p "$work"
cd "$work"

# Debian's source packages through apt, with a source list and package lists of our own, so
# that the machine's lists stay as they are.
mirror=$(sed -n 's/^URIs: //p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -n 1)
mirror=${mirror:-http://deb.debian.org/debian}
cat > sources.sources <<SOURCES
Types: deb-src
URIs: $mirror
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
mkdir -p lists/partial
apt_own=(-o Dir::Etc::sourcelist="$work/sources.sources" -o Dir::Etc::sourceparts=/nonexistent
         -o Dir::State::Lists="$work/lists" -o Dir::Cache="$work/apt-cache")
mkdir -p apt-cache/archives/partial
apt-get "${apt_own[@]}" update -qq
for package in qtbase-opensource-src qtsvg-opensource-src; do
    ls ${package}_*.orig.tar.* > /dev/null 2>&1 ||
        apt-get "${apt_own[@]}" source --download-only "$package" > /dev/null
done

# The compilers of the posix thread model under the names Qt's cross build calls.
tools=$work/toolchain
mkdir -p "$tools"
for tool in gcc g++ c++; do
    ln -sf "/usr/bin/x86_64-w64-mingw32-$tool-posix" "$tools/x86_64-w64-mingw32-$tool"
done
ln -sf /usr/bin/x86_64-w64-mingw32-gcc-posix "$tools/x86_64-w64-mingw32-cc"
for tool in ar as ranlib strip windres objcopy objdump nm ld dlltool; do
    ln -sf "/usr/bin/x86_64-w64-mingw32-$tool" "$tools/x86_64-w64-mingw32-$tool"
done
# Qt's project files ask for -lSecur32, -lCrypt32, ...; the mingw files are lower case.
capitals=$work/capitalised-libraries
mkdir -p "$capitals"
for library in /usr/x86_64-w64-mingw32/lib/lib*.a; do
    name=$(basename "$library" .a)
    name=${name#lib}
    capital="$(printf '%s' "${name:0:1}" | tr a-z A-Z)${name:1}"
    [ "$capital" = "$name" ] || ln -sf "$library" "$capitals/lib$capital.a"
done

rm -rf qtbase-everywhere-src-* qtsvg-everywhere-src-* qtkeychain-* build-qtbase build-qtsvg build-qtkeychain
tar xf qtbase-opensource-src_*.orig.tar.*
tar xf qtsvg-opensource-src_*.orig.tar.*
tar xzf "$keychain"
mkdir build-qtbase build-qtsvg build-qtkeychain
jobs=$(nproc)

say "qtbase: configure"
# Debian's source leaves out the tablet header (src/3rdparty/wintab): no tablet events.
(cd build-qtbase && ../qtbase-everywhere-src-*/configure -prefix "$prefix" -xplatform win32-g++ \
    -device-option CROSS_COMPILE="$tools/x86_64-w64-mingw32-" -opensource -confirm-license -release -shared \
    -nomake examples -nomake tests -no-opengl -no-dbus -no-icu -qt-zlib -qt-libpng -qt-libjpeg -qt-pcre \
    -qt-harfbuzz -qt-freetype -no-openssl -schannel -no-sql-sqlite -no-sql-odbc -no-sql-psql -no-sql-mysql \
    -no-feature-tabletevent -no-direct2d -L "$capitals") > configure-qtbase.log 2>&1 ||
    { say "qtbase configure failed: $work/configure-qtbase.log"; exit 1; }
say "qtbase: build"
(cd build-qtbase && make -j"$jobs" && make install) > make-qtbase.log 2>&1 ||
    { say "qtbase build failed: $work/make-qtbase.log"; exit 1; }
say "qtsvg: build"
(cd build-qtsvg && "$prefix/bin/qmake" ../qtsvg-everywhere-src-*/qtsvg.pro && make -j"$jobs" && make install) \
    > make-qtsvg.log 2>&1 || { say "qtsvg build failed: $work/make-qtsvg.log"; exit 1; }
say "QtKeychain: build"
(cd build-qtkeychain && cmake ../qtkeychain-*/ -G Ninja -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-posix.cmake" \
    -DCORVANE_QT5_MINGW_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_WITH_QT6=OFF -DBUILD_TRANSLATIONS=OFF -DBUILD_TEST_APPLICATION=OFF && ninja && ninja install) \
    > make-qtkeychain.log 2>&1 || { say "QtKeychain build failed: $work/make-qtkeychain.log"; exit 1; }

# The compiler's runtime, which every DLL here needs beside it.
for runtime in libstdc++-6.dll libgcc_s_seh-1.dll; do
    cp "$(x86_64-w64-mingw32-g++-posix -print-file-name=$runtime)" "$prefix/bin/"
done
cp /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll "$prefix/bin/"
touch "$ready"
cd "$cache"
rm -rf "$work"
say "ready: $prefix"
echo "$prefix"
