#!/usr/bin/env bash
# The compiler settings that could change a bit of cos, acos or the
# geometry, without our CMake's help: g++ and clang with GCC's fusing of
# a * b + c across statements (-ffp-contract=fast) on a CPU with FMA
# (-march=haswell) must pass the MPFR oracle of cos and acos and the golden
# transcripts; x87 arithmetic (i686 without SSE2) and -ffast-math must be
# refused at compile time, with the message, by every file that does
# floating-point arithmetic.
# Usage: tests/fp_settings.sh [work-dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "${1:-$root/build/fp-settings}"
work=$(cd "${1:-$root/build/fp-settings}" && pwd)
fail=0
# FMA runs natively where the CPU has it, under qemu's Haswell elsewhere.
run=()
grep -qw fma /proc/cpuinfo || run=(qemu-x86_64 -cpu Haswell)

for cxx in g++ clang++; do
  b=$work/$cxx
  cmake -S "$root" -B "$b" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=$cxx \
    -DCMAKE_CXX_FLAGS="-ffp-contract=fast -march=haswell" >"$b.log" 2>&1
  cmake --build "$b" -j2 --target crmath_tests transcripts >>"$b.log" 2>&1 ||
    { echo "$cxx: build FAILED"; tail -20 "$b.log"; fail=1; continue; }
  if "${run[@]}" "$b/tests/crmath_tests" --gtest_filter=-*EveryTypedAngle* \
    >"$b.crmath" 2>&1 &&
    "${run[@]}" "$b/tests/transcripts" "$root/tests/golden.txt" >"$b.golden" 2>&1; then
    echo "$cxx -ffp-contract=fast -march=haswell: cos and acos match MPFR," \
      "$(grep -o '[0-9]* records, 0 changed' "$b.golden")"
  else
    echo "$cxx -ffp-contract=fast -march=haswell: FAILED"
    grep -E 'should be|times its bound|changed|FAILED' "$b.crmath" "$b.golden" | head
    fail=1
  fi
done

# Each file on its own, as someone compiling src/ with their own flags would.
refused() {  # what, message, compiler and flags...
  local what=$1 message=$2 f files=0
  shift 2
  for f in $(cd "$root" && git ls-files 'src/*.cpp' |
    xargs grep -l -E '(rounded|arith|dd)\.hpp'); do
    files=$((files + 1))
    if "$@" -std=c++20 -O2 -I"$root/src" -c "$root/$f" -o /dev/null \
      >"$work/refused.log" 2>&1 || ! grep -q "$message" "$work/refused.log"; then
      echo "$what: $f is not refused with \"$message\"; FAILED"
      fail=1
      return
    fi
  done
  echo "$what: all $files floating-point files refused with \"$message\""
}
refused "i686 without SSE2 (x87)" "would carry excess precision" i686-linux-gnu-g++
refused "clang, i686 without SSE2" "would carry excess precision" clang++ --target=i686-linux-gnu
refused "-ffast-math" "build without them" g++ -ffast-math
exit $fail
