#!/usr/bin/env bash
# The cost of one whole run, start to exit, against /bin/true and against
# an empty main built as the program is (C++, -O2, a static PIE) on the
# same machine: instructions counted by callgrind (repeatable, unlike
# seconds) and peak resident memory from GNU time. Goals: at most 0.6x
# the instructions of /bin/true and 1.22x those of the empty main (what
# the C library's start costs either way), at most /bin/true's memory
# plus 1 MiB.
# Usage: bench/process.sh [dorvex binary]   (default build/release/dorvex)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-$root/build/release/dorvex}
input=$'2\n5 6 7 80 85 95\n'

instructions() {  # command... ; stdin from $input
  local out
  out=$(mktemp)
  valgrind --tool=callgrind --callgrind-out-file="$out" "$@" \
    <<<"$input" >/dev/null 2>&1
  awk '/^summary:/ { print $2 }' "$out"
  rm -f "$out"
}

peak_kib() {  # smallest of five runs, to step over noise
  local best=0 k
  for _ in 1 2 3 4 5; do
    k=$(/usr/bin/time -f '%M' "$@" <<<"$input" 2>&1 >/dev/null | tail -1)
    if [ "$best" = 0 ] || [ "$k" -lt "$best" ]; then best=$k; fi
  done
  echo "$best"
}

empty=$(mktemp -d)
trap 'rm -rf "$empty"' EXIT
echo 'int main() { return 0; }' >"$empty/main.cpp"
"${CXX:-c++}" -O2 -static-pie "$empty/main.cpp" -o "$empty/main"
di=$(instructions "$bin")
ti=$(instructions /bin/true)
ei=$(instructions "$empty/main")
dm=$(peak_kib "$bin")
tm=$(peak_kib /bin/true)
ratio=$(awk -v a="$di" -v b="$ti" 'BEGIN { printf "%.2f", a / b }')
ratio_empty=$(awk -v a="$di" -v b="$ei" 'BEGIN { printf "%.3f", a / b }')
echo "instructions: dorvex $di, /bin/true $ti, ratio ${ratio}x (goal <= 0.6x)"
echo "instructions: an empty static-PIE main $ei, ratio ${ratio_empty}x (goal <= 1.22x)"
echo "peak memory:  dorvex $dm KiB, /bin/true $tm KiB, difference $((dm - tm)) KiB (goal <= 1024 KiB)"
awk -v r="$ratio" -v e="$ratio_empty" 'BEGIN { exit !(r <= 0.6 && e <= 1.22) }' &&
  [ $((dm - tm)) -le 1024 ]
