#!/usr/bin/env bash
# Builds the Debian package from the release build of the two programs and checks it: its
# files against packaging/package-contents.txt, lintian without errors, the desktop entry,
# the AppStream metadata and the manual pages, one version everywhere, and the packaged
# programs and completion run from an extracted copy.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset package >/dev/null
cmake --build --preset package
cpack --preset package >/dev/null
version=$(sed -n 's/^project(Culvex VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb=build/package/culvex_${version}_$(dpkg --print-architecture).deb

fail() {
    echo "check-package: $*" >&2
    exit 1
}

# Modes, paths and link targets; sizes and dates change with every build.
dpkg-deb --contents "$deb" | awk '{ $2 = $3 = $4 = $5 = ""; print }' | tr -s ' ' |
    sed 's| \./| /|' | diff -u packaging/package-contents.txt - ||
    fail "the package's files differ from packaging/package-contents.txt"

lintian --fail-on error "$deb" ||
    fail "lintian reports errors"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/culvex.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/"*.metainfo.xml >/dev/null ||
    appstreamcli validate --no-net "$root/usr/share/metainfo/"*.metainfo.xml
for page in "$root/usr/share/man/man1/"*.1.gz; do
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
        man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
done

[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version is not $version"
[ "$(dpkg-parsechangelog -l packaging/changelog -S Version)" = "$version" ] ||
    fail "packaging/changelog does not start with version $version"
grep -m1 '<release ' "$root/usr/share/metainfo/"*.metainfo.xml | grep -q "version=\"$version\"" ||
    fail "the AppStream metadata's latest release is not $version"

[ "$("$root/usr/bin/culvex-extract" --version)" = "culvex-extract $version" ] ||
    fail "the packaged culvex-extract does not say version $version"
[ "$("$root/usr/bin/culvex" --version)" = "culvex $version" ] ||
    fail "the packaged culvex does not say version $version"
packaging/completion_checks.sh "$root/usr/bin/culvex-extract" \
    "$root/usr/share/bash-completion/completions/culvex-extract"
echo "check-package: $deb passes every check"
