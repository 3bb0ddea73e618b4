#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks the layout a Linux desktop expects:
# the program folder, the command, the desktop entry and AppStream data (validated), the icons.
#   install_test.sh BUILD_DIR
set -euo pipefail
build="$(cd "$1" && pwd)"
for tool in desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || { echo "$tool is missing (scripts/debian-packages.txt)" >&2; exit 1; }
done
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
prefix="$work/usr"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log" >&2; exit 1; }

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

for file in lib/vorla/vorla lib/vorla/Vorla.ini lib/vorla/vrhelp.html lib/vorla/skins/default/skin.ini \
            share/applications/vorla.desktop share/metainfo/example.vorla.Vorla.metainfo.xml \
            share/icons/hicolor/scalable/apps/vorla.svg; do
    [ -f "$prefix/$file" ] || fail "$file is not installed"
done
[ -x "$prefix/lib/vorla/vorla" ] || fail "lib/vorla/vorla is not executable"
[ "$(readlink -f "$prefix/bin/vorla")" = "$(readlink -f "$prefix/lib/vorla/vorla")" ] ||
    fail "bin/vorla does not lead to lib/vorla/vorla"
for size in 16 22 24 32 48 64 128 256; do
    icon="$prefix/share/icons/hicolor/${size}x$size/apps/vorla.png"
    if [ ! -f "$icon" ]; then
        fail "no ${size}x$size icon"
    elif ! file "$icon" | grep -q "PNG image data, $size x $size,"; then
        fail "the ${size}x$size icon is $(file -b "$icon")"
    fi
done
# One version number: the package's (the project's) is the one the help page and the AppStream
# data show.
version="$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")"
[ -n "$version" ] || fail "no package version in CPackConfig.cmake"
grep -q "<p>Version $version</p>" "$prefix/lib/vorla/vrhelp.html" ||
    fail "the help page does not show version $version"
grep -q "<release version=\"$version\"" "$prefix/share/metainfo/example.vorla.Vorla.metainfo.xml" ||
    fail "the AppStream data does not carry version $version"
desktop-file-validate "$prefix/share/applications/vorla.desktop" || fail "desktop entry rejected"
grep -qx 'Icon=vorla' "$prefix/share/applications/vorla.desktop" || fail "desktop entry names another icon"
appstreamcli validate --no-net "$prefix/share/metainfo/example.vorla.Vorla.metainfo.xml" ||
    fail "AppStream metainfo rejected"

if [ "$failures" -ne 0 ]; then
    echo "$failures failed" >&2
    exit 1
fi
echo "install layout: all checks passed"
