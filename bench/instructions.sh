#!/usr/bin/env bash
# Instructions per call of reading and printing one number, of cos and
# acos, and of one conversion, dorvex against its peers, counted by
# callgrind (repeatable, unlike seconds): the count for N inputs less the
# count for none, divided by N. Fails if dorvex costs more than:
#   - the strongest library peer for a number (std::to_chars, from_chars);
#   - CORE-MATH's correctly rounded cos or acos built with FMA
#     (x86-64-v3; callgrind's CPU has FMA, and ours takes it by its
#     run-time choice);
#   - gemmi's UnitCell and its reciprocal for one conversion into the
#     whole struct.
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
"$bin" coremath_cos_v3 0 >/dev/null || {
  echo "CORE-MATH is not built into $bin: configure with -DDORVEX_CORE_MATH_DIR"
  exit 1
}
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
echo
echo "| function | dorvex | CORE-MATH, baseline build | CORE-MATH, x86-64-v3 | glibc | accurate path | last path |"
echo "|---|---|---|---|---|---|---|"
for f in cos acos; do
  d=$(per_call "cr_$f") b=$(per_call "coremath_${f}_base")
  v=$(per_call "coremath_${f}_v3") g=$(per_call "$f")
  a=$(per_call "${f}_accurate") l=$(per_call "${f}_last")
  echo "| $f | $d | $b | $v | $g | $a | $l |"
  [ "$d" -le "$v" ] || { echo "cr_$f costs more than CORE-MATH's: $d > $v"; fail=1; }
done
echo
echo "| one direct cell converted | instructions |"
echo "|---|---|"
d=$(per_call dorvex_convert) g=$(per_call gemmi)
echo "| \`dorvex_convert\`, with V, V*, the metric and s.u. fields | $d |"
t=$(per_call dorvex_convert_0_3)
echo "| the same, 0.3's struct: the three descriptions alone | $t |"
echo "| gemmi, \`UnitCell\` and \`.reciprocal()\` | $g |"
echo "| the textbook formulas with glibc | $(per_call textbook) |"
[ "$d" -le "$g" ] || { echo "a conversion costs more than gemmi's: $d > $g"; fail=1; }
exit $fail
