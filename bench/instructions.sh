#!/usr/bin/env bash
# Instructions per call of reading and printing one number and of cos and
# acos, dorvex against the library peers, counted by callgrind (repeatable,
# unlike seconds): the count for N inputs less the count for none, divided
# by N. Fails if dorvex costs more than the strongest peer (std::to_chars,
# std::from_chars) or more than 3 times glibc's cos and acos; also reports
# one whole conversion through the C API.
# Usage: bench/instructions.sh [calls binary]   (default build/bench/bench/calls)
set -euo pipefail
bin=${1:-build/bench/bench/calls}
n=20000
tmp=$(mktemp)
trap 'rm -f "$tmp"' EXIT
count() {
  valgrind --tool=callgrind --callgrind-out-file="$tmp" "$bin" "$1" "$2" \
    >/dev/null 2>&1
  awk '/^summary:/ { print $2 }' "$tmp"
}
per_call() { echo $((($(count "$1" "$n") - $(count "$1" 0)) / n)); }
fail=0
echo "| work | dorvex | std peer | C library |"
echo "|---|---|---|---|"
row() {  # label, dorvex's, the std peer, the C library's
  local d p c
  d=$(per_call "$2") p=$(per_call "$3") c=$(per_call "$4")
  echo "| $1 | \`${2%[49]}\` $d | \`${3%[49]}\` $p | \`${4%[49]}\` $c |"
  [ "$d" -le "$p" ] || { echo "dorvex costs more than ${3%[49]}: $d > $p"; fail=1; }
}
row "printing at 12.9" format_fixed9 to_chars9 snprintf9
row "printing at 8.4" format_fixed4 to_chars4 snprintf4
row "reading" scan_real from_chars strtod
# cos and acos against glibc's (not correctly rounded, FMA where the CPU has
# it): at most 3 times its count on typical arguments.
echo
echo "| function | dorvex | glibc | accurate path | last path |"
echo "|---|---|---|---|---|"
for f in cos acos; do
  d=$(per_call "cr_$f") g=$(per_call "$f")
  a=$(per_call "${f}_accurate") l=$(per_call "${f}_last")
  echo "| $f | $d | $g | $a | $l |"
  [ "$d" -le $((3 * g)) ] || { echo "cr_$f costs more than 3x glibc: $d > 3 x $g"; fail=1; }
done
# One whole conversion through the C API (a typed direct cell in, the three
# descriptions out): reported, not compared.
echo
echo "| conversion | instructions |"
echo "|---|---|"
echo "| \`dorvex_convert\`, mode 2, with V, V*, the metric and s.u. fields | $(per_call dorvex_convert) |"
echo "| the same, 0.3's struct: the three descriptions alone | $(per_call dorvex_convert_0_3) |"
exit $fail
