#!/bin/sh
# Makes the Debian package into a fresh folder and checks its control fields
# and contents.
# Usage: check_package.sh <build folder> <version>
set -eu
build=$1 version=$2
out=$(mktemp -d "${TMPDIR:-/tmp}/tabulix-package-XXXXXX")
trap 'rm -rf "$out"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$out" >/dev/null)
deb="$out/tabulix_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $deb"

[ "$(dpkg-deb -f "$deb" Package)" = tabulix ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "version"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libqt6printsupport6 libzip4 libfreexl1 libc6; do
    echo "$depends" | grep -q "$lib" || fail "Depends lacks $lib: $depends"
done

contents=$(dpkg-deb -c "$deb")
for path in ./usr/bin/tabulix ./usr/share/applications/tabulix.desktop \
        ./usr/share/metainfo/tabulix.metainfo.xml ./usr/share/tabulix/Doc_Tabulix_Begin.Txt \
        ./usr/share/icons/hicolor/scalable/apps/tabulix.svg; do
    echo "$contents" | grep -q " $path\$" || fail "package lacks $path"
done
# Stripped: the program without debugging information.
dpkg-deb -x "$deb" "$out/tree"
file "$out/tree/usr/bin/tabulix" | grep -q ", stripped" || fail "program not stripped"
echo "package OK"
