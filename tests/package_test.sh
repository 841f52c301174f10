#!/usr/bin/env bash
# Install and package, checked without touching the system: `cmake --install`
# into a temporary prefix, then the CPack .deb unpacked with dpkg-deb -x; the
# unpacked dorvex must answer the worked example byte for byte and its man
# page must lint clean.
# Usage: tests/package_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

want=$(cd "$(dirname "$0")" && pwd)/worked_example.txt

check() {  # root of an installed tree
  test -x "$1/bin/dorvex"
  test -f "$1/share/man/man1/dorvex.1"
  printf '2\n5 6 7 80 85 95\n' | "$1/bin/dorvex" >"$tmp/got"
  cmp "$want" "$tmp/got"
  if command -v mandoc >/dev/null; then
    mandoc -T lint "$1/share/man/man1/dorvex.1"
  fi
}

cmake --install "$build" --prefix "$tmp/prefix" >/dev/null
check "$tmp/prefix"
echo "install: bin/dorvex and share/man/man1/dorvex.1, worked example ok"

(cd "$tmp" && cpack --config "$build/CPackConfig.cmake" -B "$tmp/pkg" >/dev/null)
deb=$(ls "$tmp"/pkg/*.deb)
dpkg-deb -x "$deb" "$tmp/root"
check "$tmp/root/usr"
echo "package: $(dpkg-deb -f "$deb" Package Version Architecture | tr '\n' ' ')ok"
