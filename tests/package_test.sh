#!/usr/bin/env bash
# Install and package, checked without touching the system: `cmake --install`
# into a temporary prefix, then the CPack .debs (dorvex, libdorvex0,
# libdorvex-dev, python3-dorvex) unpacked with dpkg-deb -x. The unpacked
# dorvex must answer the worked example byte for byte, its man page must
# lint clean, the example program built against the unpacked library and
# the unpacked Python module must give its report, lintian must accept
# every package (when installed), a plain install must hold no file of the
# .debs' alone and the program's .deb none of the library's, and a second
# build in another folder must give the same .debs, byte for byte, with no
# SOURCE_DATE_EPOCH set (the last commit dates them).
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

debs() {  # build dir, output dir -> the .debs, one a line
  (cd "$tmp" && cpack --config "$1/CPackConfig.cmake" -B "$2" >/dev/null)
  ls "$2"/*.deb
}
first=$(debs "$build" "$tmp/pkg")
program=$(grep '/dorvex_' <<<"$first")
dpkg-deb -x "$program" "$tmp/root"
check "$tmp/root/usr"
test -f "$tmp/root/usr/share/doc/dorvex/copyright"
! test -e "$tmp/root/usr/share/doc/dorvex/LICENSE"
if find "$tmp/root" | grep -E 'libdorvex|dorvex\.h|-packages'; then
  echo "package: the library or the module is in the program's .deb"; exit 1
fi
test -f "$tmp/root/usr/share/doc/dorvex/changelog.gz"
grep -q '^Dorvex converts' "$tmp/root/usr/share/doc/dorvex/README"  # the user's
for deb in $first; do
  dpkg-deb -x "$deb" "$tmp/all"
  echo "package: $(dpkg-deb -f "$deb" Package Version Architecture | tr '\n' ' ')ok"
done
# the library's packages as a C program and Python use them
report=$(tail -n 6 "$want")
lib=$tmp/all/usr/lib
cc "$src/examples/convert.c" -I"$tmp/all/usr/include" -L"$lib" -ldorvex \
  -Wl,-rpath,"$lib" -o "$tmp/convert"
[ "$("$tmp/convert")" = "$report" ]
cc "$src/examples/convert.c" -I"$tmp/all/usr/include" "$lib/libdorvex.a" -lm \
  -o "$tmp/convert-static"
[ "$("$tmp/convert-static")" = "$report" ]
if [ -d "$lib/python3/dist-packages" ]; then
  [ "$(PYTHONPATH="$lib/python3/dist-packages" "${DORVEX_PYTHON:-python3}" -c \
    'import dorvex; print(dorvex.convert(2, (5, 6, 7, 80, 85, 95)).report, end="")')" = "$report" ]
  echo "python3-dorvex: the module gives the worked example"
fi
echo "libdorvex0, libdorvex-dev: the example, shared and static, gives the worked example"

if command -v lintian >/dev/null; then
  for deb in $first; do lintian --fail-on error,warning "$deb"; done
  echo "lintian: no error, no warning in $(wc -w <<<"$first") packages"
fi

# The same sources built again elsewhere give the same bytes.
type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")
cxx=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$build/CMakeCache.txt")
cmake -S "$src" -B "$tmp/again" -DCMAKE_BUILD_TYPE="$type" \
  -DCMAKE_CXX_COMPILER="$cxx" -DBUILD_TESTING=OFF >/dev/null
cmake --build "$tmp/again" >/dev/null
second=$(debs "$tmp/again" "$tmp/pkg-again")
for deb in $first; do cmp "$deb" "$tmp/pkg-again/$(basename "$deb")"; done
echo "reproducible: a second build in another folder gives the same .debs"
