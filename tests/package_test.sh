#!/usr/bin/env bash
# Install and package, checked without touching the system: `cmake --install`
# into a temporary prefix, then the CPack .deb unpacked with dpkg-deb -x. The
# unpacked dorvex must answer the worked example byte for byte, its man page
# must lint clean, lintian must accept the package (when installed), a plain
# install must hold no file of the .deb's alone and the .deb none of the
# library's, and a second build in another folder must give the same .deb,
# byte for byte, with no SOURCE_DATE_EPOCH set (the last commit dates it).
# Usage: tests/package_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
src=$(cd "$(dirname "$0")/.." && pwd)
want=$src/tests/worked_example.txt
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
unset SOURCE_DATE_EPOCH

check() {  # root of an installed tree
  test -x "$1/bin/dorvex"
  printf '2\n5 6 7 80 85 95\n' | "$1/bin/dorvex" >"$tmp/got"
  cmp "$want" "$tmp/got"
  if command -v mandoc >/dev/null; then
    mandoc -T lint -W warning "$1/share/man/man1/dorvex.1.gz"
  fi
}

cmake --install "$build" --prefix "$tmp/prefix" --strip >/dev/null
check "$tmp/prefix"
if find "$tmp/prefix" | grep -E 'lintian|/copyright$'; then
  echo "install: a file of the .deb's alone"; exit 1
fi
echo "install: bin/dorvex and share/man/man1/dorvex.1.gz, worked example ok, no Debian-only file"

deb() {  # build dir, output dir -> path of the .deb
  (cd "$tmp" && cpack --config "$1/CPackConfig.cmake" -B "$2" >/dev/null)
  ls "$2"/*.deb
}
first=$(deb "$build" "$tmp/pkg")
dpkg-deb -x "$first" "$tmp/root"
check "$tmp/root/usr"
test -f "$tmp/root/usr/share/doc/dorvex/copyright"
! test -e "$tmp/root/usr/share/doc/dorvex/LICENSE"
if find "$tmp/root" | grep -E 'libdorvex|dorvex\.h|site-packages'; then
  echo "package: the library or the module is in the .deb"; exit 1
fi
test -f "$tmp/root/usr/share/doc/dorvex/changelog.gz"
grep -q '^Dorvex converts' "$tmp/root/usr/share/doc/dorvex/README"  # the user's
echo "package: $(dpkg-deb -f "$first" Package Version Architecture Maintainer | tr '\n' ' ')ok"

if command -v lintian >/dev/null; then
  lintian --fail-on error,warning "$first"
  echo "lintian: no error, no warning"
fi

# The same sources built again elsewhere give the same bytes.
type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")
cxx=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$build/CMakeCache.txt")
cmake -S "$src" -B "$tmp/again" -DCMAKE_BUILD_TYPE="$type" \
  -DCMAKE_CXX_COMPILER="$cxx" -DBUILD_TESTING=OFF >/dev/null
cmake --build "$tmp/again" >/dev/null
second=$(deb "$tmp/again" "$tmp/pkg-again")
cmp "$first" "$second"
echo "reproducible: a second build in another folder gives the same .deb"
