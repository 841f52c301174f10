#!/usr/bin/env bash
# Every change below alters what users see or rely on, and a default test
# (one of ctest -LE slow) must fail on each one: the row names it, as a
# ctest -R pattern. Two workers, each on its own scratch copy of the tree,
# apply one mutant at a time (a perl substitution on one file), rebuild
# what that test needs and run it. A mutant it lets through, or one that no
# longer applies, fails the script.
# Usage: tests/mutants.sh [work-dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mkdir -p "${1:-$root/build/mutants}" && cd "${1:-$root/build/mutants}" && pwd)
cell=src/cell/cell.hpp recip=src/cell/recip.cpp form=src/cell/form.cpp
math=src/cell/mathfn.cpp arith=src/cell/arith.hpp
cos=src/crmath/cos.cpp acos=src/crmath/acos.cpp last=src/crmath/last.cpp
dd=src/crmath/dd.hpp tables=src/crmath/tables.hpp
xh=src/exact/exact.hpp xc=src/exact/exact.cpp
scan=src/dorvex/scan.cpp fmt=src/dorvex/format.cpp chan=src/dorvex/chan.cpp
chanh=src/dorvex/chan.hpp fd=src/dorvex/fd.cpp dia=src/dorvex/dialogue.cpp
main=src/dorvex/main.cpp numh=src/dorvex/numtext.hpp diah=src/dorvex/dialogue.hpp
mutants=(
  # the printed digits
  "rad_per_deg as the precise pi/180|$cell|golden|s/rad_per_deg = 0.0174532925239284/rad_per_deg = 0.017453292519943295/"
  "rad_per_deg truncated|$cell|golden|s/rad_per_deg = 0.0174532925239284/rad_per_deg = 0.0174532925239/"
  "two_pi_sq as the precise 2 pi^2|$cell|golden|s/two_pi_sq = 19.7392088;/two_pi_sq = 19.739208802178716;/"
  "deg_per_rad as the precise 180/pi|$cell|golden|s/deg_per_rad = 57.2957795;/deg_per_rad = 57.29577951308232;/"
  "products of sines in single precision|$recip|golden|s/double\{(sin[abg]r)\} \* double\{(sin[abg]r)\}/\$1 * \$2/g"
  "w summed in another order|$recip|golden|s/rounded\(2.0 \* ca \* cb \* cc\) \+ 1.0 -(\s*)rounded\(ca \* ca\)/1.0 -\$1rounded(ca * ca) + rounded(2.0 * ca * cb * cc)/"
  "no single-precision volume|$recip|golden|s/const float vr = single\(/const double vr = (/"
  "cos alpha* from the wrong lengths|$form|golden|s/\(recip\[slot::b\] \* recip\[slot::c\]\)/(recip[slot::b] * recip[slot::b])/"
  "D without its factor q|$form|golden|s/recip\[slot::alpha\] \* recip\[slot::b\] \* recip\[slot::c\] \* q/recip[slot::alpha] * recip[slot::b] * recip[slot::c]/"
  # the functions' rules
  "cosine limit 2^52|$math|golden|s/9007199254740992.0/4503599627370496.0/"
  "acos(1) a domain error|$math|golden|s/std::fabs\(x\) <= 1\)/std::fabs(x) < 1)/"
  "sqrt(-0) a domain error|$math|golden|s/if \(x == 0\) return x;.*\n//"
  "negative NaNs kept|$arith|golden|s/return std::isnan\(x\) \?.*/return x;/"
  "cos: table index at 1/64|$cos|unit.CorrectRounding.Random|s/nearest_int\(r.hi \* 128\)/nearest_int(r.hi * 64)/"
  "cos: accurate series cut short|$cos|unit.EveryPath.Accurate|s/for \(u64 n = 18;/for (u64 n = 5;/"
  "cos: accurate path's scale off by a bit|$cos|unit.EveryPath.Accurate|s/sine \? -125 - t.zeros : -127/sine ? -125 - t.zeros : -126/"
  "acos: Taylor polynomial without a2 and a3|$acos|unit.CorrectRounding.Random|s/k >= 4; --k\)/k >= 6; --k)/"
  "acos: integer square root loses its bits|$acos|unit.EveryPath.Accurate|s/root.lo \|= 1;//"
  "last: sine series divides wrongly|$last|unit.EveryPath.Last|s/\(a - 1\) \* a\)/a * a)/"
  "last: Machin's formula miscounted|$last|unit.EveryPath.Last|s/k == 5 \? 8 : 2/k == 5 ? 8 : 4/"
  "cos: the fast path claims a bound it does not keep|$cos|unit.EveryPath.Fast|s/cos_or_sin_err = 0x1p-65;/cos_or_sin_err = 0x1p-72;/"
  "last: pi/2 without guard bits|$last|unit.EveryPath.Last|s/constexpr int guard = 128;/constexpr int guard = 0;/"
  "dd: fast_two_sum drops the error|$dd|unit.CorrectRounding.Random|s/return \{s, b - \(s - a\)\};/return {s, 0};/"
  "tables: pi/2's low part negated|$tables|unit.CorrectRounding.Random|s/pio2_dd\[2\] = \{0x1.921fb54442d18p\+0, 0x1/pio2_dd[2] = {0x1.921fb54442d18p+0, -0x1/"
  # exact arithmetic, reading, printing
  "ties away from even|$xh|golden|s/return half && \(more \|\| odd\);/return half;/"
  "mulhi without a cross product|$xh|unit.EveryPath.Accurate|s/add\(add\(hh, u128\{0, hl.hi\}\)/add(add(hh, u128{0, 0})/"
  "big_div_pow10 forgets a remainder|$xc|golden|s/rest \|= big_div_small/rest = big_div_small/"
  "big_mul drops its carry|$xc|unit.EveryPath.Last|s/out.w\[i \+ y.n\] = static_cast<std::uint32_t>\(carry\);/out.w[i + y.n] = 0;/"
  "TAB no longer a blank|$numh|golden|s/c >= '\\\\t'/c > '\\\\t'/"
  "sticky bit lost when reading|$scan|golden|s/round_shift\(top, 1, sticky \|\| below\)/round_shift(top, 1, below)/"
  "a zero printed with its minus sign|$fmt|golden|s/neg && v \? '-' : 0/neg ? '-' : 0/"
  # lines, channels, dialogue
  "a partial write taken as whole|$chan|e2e.Dialogue.LostOutput|s/while \(n > 0 && !out.failed\)/if (n > 0 \&\& !out.failed)/"
  "a line cut by a failed read is used|$chan|unit.NextLine.ALineCut|s/if \(!any \|\| in.error != 0\)/if (!any)/"
  "Ctrl-Z no longer ends input|$chan|golden|s/c == 0x1A/c == 0x1B/"
  "lines of 4,096 characters|$chanh|golden|s/line_max = 4096;/line_max = 4097;/"
  "non-blocking input waited for as output|$fd|e2e.Dialogue.NonBlocking|s/retry_call\(fd, true,/retry_call(fd, false,/"
  "no retry after a signal|$fd|unit.NextLine.AnInterrupted|s/if \(errno == EINTR\) continue;//"
  "a long menu line taken|$dia|golden|s/if \(got == line_got::line\) \{\n      const int_scan/if (got != line_got::end) {\n      const int_scan/"
  "a long line of numbers taken|$dia|golden|s/if \(got == line_got::line\) \{\n      double t/if (got != line_got::end) {\n      double t/"
  "asking goes on after lost output|$dia|e2e.Dialogue.InputIsRead|s/if \(out.failed\) return 0;.*\n//"
  "going to recipconv before the conversion|$dia|e2e.Dialogue.ConsoleOutputWithPiped|s/form_to_recip\(form, recip\);\n(\s*)put\(out, \"going to recipconv\\\\n\"\);/put(out, \"going to recipconv\\\\n\");\n\$1form_to_recip(form, recip);/"
  "input ending early as status 3|$diah|e2e.Dialogue.Transcripts|s/no_input = 1,/no_input = 3,/"
  "console chosen by standard input|$main|e2e.Dialogue.ConsoleOutputWithPiped|s/is_console\(fd_out\)/is_console(fd_in)/"
  "input read ahead is kept|$main|e2e.Dialogue.InputIsRead|s/give_back\(fd_in, in.len - in.pos\);//"
)
# the executable a test runs
target() {
  case $1 in
    golden*) echo transcripts ;;
    unit.CorrectRounding* | unit.EveryPath*) echo crmath_tests ;;
    unit.*) echo unit_tests ;;
    e2e.*) echo e2e_tests ;;
  esac
}

worker() {  # k: takes mutants k, k + 2, ...; a line of result for each
  local src=$work/src$1 build=$work/build$1 i what file test expr
  rm -rf "$src" && mkdir -p "$src"
  (cd "$root" && git ls-files -z --cached --others --exclude-standard |
    xargs -0 cp --parents -t "$src")
  cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=Release >"$work/log$1"
  cmake --build "$build" >>"$work/log$1"
  # a kill means something only where the unmutated tree passes
  if ! (cd "$build" && ctest -LE slow >"$work/base$1" 2>&1); then
    echo "the unmutated tree fails its tests: $work/base$1; FAILED" \
      >"$work/result$1"
    return
  fi
  for ((i = $1; i < ${#mutants[@]}; i += 2)); do
    IFS='|' read -r what file test expr <<<"${mutants[i]}"
    perl -0pi -e "$expr" "$src/$file"
    if cmp -s "$root/$file" "$src/$file"; then
      echo "$what: the mutation no longer applies; FAILED"
    elif ! cmake --build "$build" --target "$(target "$test")" >"$work/log$1" 2>&1; then
      echo "$what: does not build; FAILED"
    elif (cd "$build" && ctest -R "^$test" --timeout 60 >"$work/log$1" 2>&1); then
      echo "$what: SURVIVED $test; FAILED"
    else
      echo "$what: killed by $test"
    fi >"$work/result$i"
    cp "$root/$file" "$src/$file"
  done
}

rm -f "$work"/result* "$work"/base*
worker 0 & worker 1 & wait
fail=0 killed=0
for ((i = 0; i < ${#mutants[@]}; i++)); do
  line=$(cat "$work/result$i" 2>/dev/null || echo "mutant $i: no result; FAILED")
  echo "$line"
  case $line in *FAILED) fail=1 ;; *) killed=$((killed + 1)) ;; esac
done
echo "$killed of ${#mutants[@]} mutants killed"
exit $fail
