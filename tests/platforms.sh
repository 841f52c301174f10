#!/usr/bin/env bash
# The same bytes on every platform: dorvex built for each one reproduces the
# golden transcripts byte for byte, in-process under the platform's
# emulator, and the built program answers the worked example as a process
# exactly as on x86-64; on x86-64 also under CPUs without and with FMA.
# Unit tests run too on a 32-bit target (i386), a big-endian one (s390x)
# and Windows. WebAssembly runs under Node, and its page in Chromium
# (tests/web_test.mjs, which needs `npm ci --prefix tests/web`).
# Usage: tests/platforms.sh [work-dir] [platform...]   (default: all)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "${1:-$root/build/platforms}"
work=$(cd "${1:-$root/build/platforms}" && pwd)  # cmake needs it absolute
shift || true
tc=$root/cmake/toolchain
all=(x86_64-gcc-O0 x86_64-gcc-O2 x86_64-clang-O0 x86_64-clang-O2
  aarch64-linux-gnu arm-linux-gnueabihf i686-linux-gnu s390x-linux-gnu
  powerpc64le-linux-gnu x86_64-w64-mingw32 wasm32-wasi)
with_units=" i686-linux-gnu s390x-linux-gnu x86_64-w64-mingw32 "
# Wine: a prefix of our own, made once, and one server kept for every start
# (0.2 s each instead of 4).
export WINEDEBUG=-all WINEPREFIX=$work/wine
if [[ " ${*:-${all[*]}} " == *" x86_64-w64-mingw32 "* ]]; then
  # Its helper processes start with the first program and keep what they
  # inherit: start them here on /dev/null, not on a test's output pipe.
  mkdir -p "$WINEPREFIX"
  /usr/lib/wine/wineserver -p
  /usr/lib/wine/wine64 wineboot --init </dev/null >/dev/null 2>&1
  trap '/usr/lib/wine/wineserver -k 2>/dev/null || true' EXIT
fi

# Google Test for a target, from the sources Debian ships with libgtest-dev.
gtest() {  # triple -> prints the GTest_DIR to use
  local dir=$work/gtest-$1
  if [ ! -f "$dir/prefix/lib/cmake/GTest/GTestConfig.cmake" ]; then
    cmake -S /usr/src/googletest -B "$dir" -DBUILD_GMOCK=OFF \
      -DCMAKE_TOOLCHAIN_FILE="$tc/$1.cmake" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_INSTALL_PREFIX="$dir/prefix" >"$dir.log" 2>&1
    cmake --build "$dir" -j2 >>"$dir.log" 2>&1
    cmake --install "$dir" >>"$dir.log" 2>&1
  fi
  echo "$dir/prefix/lib/cmake/GTest"
}

worked=$'2\n5 6 7 80 85 95\n'

# WebAssembly's products: the npm tarball installed and run, the sizes (the
# page's files, and the .wasm with its loader, each at most 150 KB), one
# dialogue's time under Node after start-up (at most 5 ms), and the page in
# Chromium.
wasm_checks() {  # build dir
  local b=$1 tmp page npm
  tmp=$(mktemp -d)
  (cd "$tmp" && npm pack "$b/npm" >/dev/null 2>&1) &&
    npm install -g --prefix "$tmp/prefix" "$tmp"/dorvex-*.tgz >/dev/null 2>&1 &&
    printf '%s' "$worked" | "$tmp/prefix/bin/dorvex" 2>&1 |
    cmp - "$root/tests/worked_example.txt" || { rm -rf "$tmp"; return 1; }
  echo "npm: $(basename "$tmp"/dorvex-*.tgz) installs and runs the worked example"
  "$root/tests/doc_examples.sh" --npm "$tmp"/dorvex-*.tgz || { rm -rf "$tmp"; return 1; }
  # one text for one fault, as the native program says it: a directory and
  # an unconnected socket as standard input
  local dir sock
  dir=$("$tmp/prefix/bin/dorvex" </ 2>&1 >/dev/null)
  sock=$(python3 -c '
import socket, subprocess, sys
s = socket.socket()
r = subprocess.run([sys.argv[1]], stdin=s.fileno(), capture_output=True)
sys.stdout.write(r.stderr.decode())' "$tmp/prefix/bin/dorvex")
  [ "$dir" = "dorvex: cannot read standard input: Is a directory" ] &&
    [ "$sock" = "dorvex: cannot read standard input: Transport endpoint is not connected" ] ||
    { echo "npm: failure lines differ: $dir / $sock"; rm -rf "$tmp"; return 1; }
  echo "npm: a directory and an unconnected socket said as natively"
  page=$(cat "$b"/web/* | wc -c)
  npm=$(cat "$b/npm/dorvex.wasm" "$b/npm/dorvex.mjs" | wc -c)
  echo "size: page $page bytes, npm $npm bytes"
  [ "$page" -le 153600 ] && [ "$npm" -le 153600 ] || { rm -rf "$tmp"; return 1; }
  node "$root/bench/wasm_dialogue.mjs" "$b/dorvex.wasm" &&
    node "$root/bench/js_bench.mjs" "$tmp/prefix/lib/node_modules/dorvex" &&
    node "$root/tests/web_test.mjs" "$b/web" "$root/tests/golden.txt" "$b" \
      "$tmp/prefix/lib/node_modules/dorvex" "$b/tests/requests.txt"
  local status=$?
  rm -rf "$tmp"
  return $status
}
fail=0
for p in "${@:-${all[@]}}"; do
  b=$work/$p
  args=(-DCMAKE_BUILD_TYPE=None)
  # what the platform's tests need: the C API's test and libraries on
  # Linux, everything installable natively (the documents' examples)
  targets=(dorvex transcripts error_words derived)
  case $p in
    wasm32-wasi) targets+=(web npm_package) ;;
    x86_64-w64-mingw32) ;;
    x86_64-*-O?) targets+=(installable api_test abi_old_caller transcripts_fused) ;;
    *) targets+=(api_test dorvex_shared abi_old_caller) ;;
  esac
  case $p in
    x86_64-*-O?)
      cc=${p#x86_64-}; cc=${cc%-*}
      args+=(-DCMAKE_CXX_COMPILER="$([ "$cc" = gcc ] && echo g++ || echo clang++)"
        -DCMAKE_CXX_FLAGS="-${p##*-}" -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON) ;;
    *)
      args+=(-DCMAKE_TOOLCHAIN_FILE="$tc/$p.cmake" -DCMAKE_CXX_FLAGS=-O2)
      if [[ $with_units == *" $p "* ]]; then
        args+=(-DGTest_DIR="$(gtest "$p")")
        targets+=(unit_tests)
      else
        args+=(-DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON)
      fi ;;
  esac
  cmake -S "$root" -B "$b" "${args[@]}" >"$b.log" 2>&1 ||
    { echo "$p: configure FAILED"; tail -20 "$b.log"; fail=1; continue; }
  cmake --build "$b" -j2 --target "${targets[@]}" >>"$b.log" 2>&1 ||
    { echo "$p: build FAILED"; grep -E 'error|warning' "$b.log" | head; fail=1; continue; }
  if grep -q -E 'warning:' "$b.log"; then
    echo "$p: build WARNINGS"; grep -E 'warning:' "$b.log" | head; fail=1
  fi
  link=$(sed -n 's/^-- dorvex links as: //p' "$b.log")
  tests=$( (cd "$b" && ctest -LE slow --timeout 300 --output-on-failure 2>&1) | tee "$b.ctest" |
    grep -E 'tests passed|tests failed' || true)
  grep -q '100% tests passed' <<<"$tests" || { fail=1; tail -30 "$b.ctest"; }
  # The program itself, as a process, on the platform's descriptors.
  case $p in
    x86_64-*-O?) emu=() ;;
    x86_64-w64-mingw32) emu=(/usr/lib/wine/wine64) ;;
    wasm32-wasi) emu=(node "$root/tests/wasi-run.mjs") ;;
    *) emu=("qemu-$(sed -n 's/^set(cross_qemu qemu-\(.*\))$/\1/p' "$tc/$p.cmake")" -L "/usr/$p") ;;
  esac
  exe=$b/dorvex; [ -f "$exe.exe" ] && exe=$exe.exe; [ -f "$exe.wasm" ] && exe=$exe.wasm
  if printf '%s' "$worked" | "${emu[@]}" "$exe" >"$b.worked" 2>&1 &&
    [ -n "$(cat "$b.worked")" ] &&
    cmp -s "$b.worked" "$root/tests/worked_example.txt"; then
    proc="worked example as a process: same bytes"
  else
    proc="worked example as a process: DIFFERS"; fail=1
  fi
  if [ "$p" = x86_64-gcc-O2 ]; then  # the same bits with and without FMA
    for cpu in Nehalem Haswell; do
      # (qemu warns of CPU features it cannot emulate; those lines go)
      if qemu-x86_64 -cpu $cpu "$b/tests/transcripts" "$root/tests/golden.txt" \
        >"$b.$cpu" 2>&1 && printf '%s' "$worked" |
        qemu-x86_64 -cpu $cpu "$b/dorvex" 2>&1 | grep -v '^qemu-x86_64: warning' |
        cmp -s - "$root/tests/worked_example.txt"; then
        proc+="; golden and process under -cpu $cpu"
      else
        proc+="; -cpu $cpu DIFFERS"; fail=1; tail -5 "$b.$cpu"
      fi
    done
  fi
  if [ "$p" = wasm32-wasi ]; then  # the npm command and the page
    if wasm_checks "$b" >"$b.web" 2>&1; then
      proc+="; $(grep -E '^(npm|size|speed|browser|ready|an answer|a key|the form|convert|[0-9]+ examples)' "$b.web" | tr '\n' ';' | sed 's/;$//; s/;/; /g')"
    else
      proc+="; npm, page or browser FAILED"; fail=1; tail -30 "$b.web"
    fi
  fi
  if [ "$p" = x86_64-w64-mingw32 ]; then  # the Windows package
    (cd "$b" && cpack >/dev/null)
    zip=$(cd "$b" && cmake -E tar tf dorvex-*-win64.zip | sort | tr '\n' ' ')
    if [ "$zip" = "LICENSE.txt README.txt dorvex.exe " ]; then
      proc+="; ZIP holds $zip"
    else
      proc+="; ZIP holds WRONG FILES: $zip"; fail=1
    fi
  fi
  echo "$p ($link): $tests; $proc"
done
exit $fail
