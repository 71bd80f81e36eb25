#!/usr/bin/env bash
# Builds the Debian package from a build folder and checks it as a user's system would meet it:
# contents and metadata, lintian's errors, the desktop entry and AppStream validators, and the
# installed program answering --version from a throw-away root.
#   tools/check-package.sh [build folder]   (default build/release)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
version=$(sed -n 's/^project(Corvane VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
fail() { echo "check-package: $*" >&2; exit 1; }

cmake --build "$build" --target corvane
rm -f "$build"/corvane_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
arch=$(dpkg --print-architecture)
deb="$build/corvane_${version}_${arch}.deb"
[ -f "$deb" ] || fail "no $deb"

info=$(dpkg-deb -I "$deb")
contents=$(dpkg-deb -c "$deb")
echo "$info"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = corvane ] || fail "package name"
[ "$(field Version)" = "$version" ] || fail "version $(field Version)"
[ "$(field Section)" = net ] || fail "section"
[ -n "$(field Maintainer)" ] && [ -n "$(field Homepage)" ] && [ -n "$(field Description)" ] || fail "maintainer, homepage or description missing"
field Depends | tr ',' '\n' | grep -qx ' *openvpn\( (.*)\)\? *' || fail "openvpn is not a dependency: $(field Depends)"
qt=$(sed -n 's/^CORVANE_QT_MAJOR:STRING=//p' "$build/CMakeCache.txt")
field Depends | grep -q "libqt${qt}widgets${qt}" || fail "shared library dependencies not worked out: $(field Depends)"
field Recommends | grep -q "$([ "$qt" = 6 ] && echo qt6-translations-l10n || echo qttranslations5-l10n)" ||
    fail "Qt's own translations for Qt $qt not recommended: $(field Recommends)"
for p in network-manager-openvpn network-manager-pptp network-manager-l2tp gnome-keyring; do
    field Recommends | grep -q "$p" || fail "$p not recommended"
done
for f in ./usr/bin/corvane \
    ./usr/share/applications/com.corvane.Client.desktop \
    ./usr/share/metainfo/com.corvane.Client.metainfo.xml \
    ./usr/share/icons/hicolor/scalable/apps/com.corvane.Client.svg \
    ./usr/share/icons/hicolor/16x16/apps/com.corvane.Client.png \
    ./usr/share/icons/hicolor/256x256/apps/com.corvane.Client.png \
    ./usr/share/corvane/translations/corvane_de.qm \
    ./usr/share/doc/corvane/copyright \
    ./usr/share/man/man1/corvane.1.gz; do
    grep -q " $f\$" <<<"$contents" || fail "missing $f"
done
grep -q ' ./usr/lib/.*servicesim\| ./usr/bin/tst_\| ./usr/bin/corvane-walkthrough' <<<"$contents" && fail "test tools in the package"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/com.corvane.Client.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/com.corvane.Client.metainfo.xml"
if command -v lintian >/dev/null; then
    # Errors fail the check; warnings are printed for the reader.
    lintian --fail-on error "$deb"
fi

out=$(env -i PATH=/usr/bin:/bin HOME="$root" QT_QPA_PLATFORM=offscreen "$root/usr/bin/corvane" --version)
[ "$out" = "Corvane $version" ] || fail "--version printed '$out'"
echo "check-package: $deb is fine ($out)"
