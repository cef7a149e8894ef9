#!/bin/sh
# Installs the build into a fresh prefix and checks the tree, the desktop
# entry, the AppStream description and the installed program.
# Usage: check_install.sh <build folder> <source folder> <version>
set -eu
build=$1 source=$2 version=$3
prefix=$(mktemp -d "${TMPDIR:-/tmp}/tabulix-install-XXXXXX")
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

# Exactly these files, nothing else (no tests, benchmarks or libraries).
expected="bin/tabulix
share/applications/tabulix.desktop
share/icons/hicolor/128x128/apps/tabulix.png
share/icons/hicolor/256x256/apps/tabulix.png
share/icons/hicolor/48x48/apps/tabulix.png
share/icons/hicolor/scalable/apps/tabulix.svg
share/metainfo/tabulix.metainfo.xml"
for doc in "$source"/src/help/docs/*.Txt; do
    expected="$expected
share/tabulix/$(basename "$doc")"
    cmp -s "$doc" "$prefix/share/tabulix/$(basename "$doc")" || fail "help document $(basename "$doc") differs"
done
actual=$(cd "$prefix" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
expected=$(printf '%s\n' "$expected" | LC_ALL=C sort)
[ "$actual" = "$expected" ] || fail "install tree:
$actual
expected:
$expected"

[ -x "$prefix/bin/tabulix" ] || fail "bin/tabulix is not executable"
[ "$("$prefix/bin/tabulix" --version)" = "Tabulix $version" ] || fail "installed --version"

for size in 48 128 256; do
    file "$prefix/share/icons/hicolor/${size}x${size}/apps/tabulix.png" |
        grep -q "PNG image data, $size x $size" || fail "icon ${size}x${size}"
done

entry="$prefix/share/applications/tabulix.desktop"
desktop-file-validate "$entry" || fail "desktop-file-validate"
grep -qx 'Exec=tabulix %f' "$entry" || fail "Exec line"
grep -qx 'MimeType=text/csv;text/tab-separated-values;' "$entry" || fail "MimeType line"
grep -q '^Name\[ja\]=' "$entry" && grep -q '^Comment\[ja\]=' "$entry" || fail "Japanese name or comment"

# The newest release named is the version the program prints.
metainfo="$prefix/share/metainfo/tabulix.metainfo.xml"
grep -o '<release version="[^"]*"' "$metainfo" | head -n 1 | grep -qx "<release version=\"$version\"" ||
    fail "the metainfo's newest release is not $version"

# The id is not reverse-DNS: the project owns no domain to name it by.
appstreamcli validate --no-net --override=cid-desktopapp-is-not-rdns=info \
    "$metainfo" || fail "appstreamcli validate"
echo "install tree OK"
