#!/usr/bin/env bash
# Every change below alters what users see or rely on, and a default test
# (one of ctest -LE slow) must fail on each one: the row names it, as a
# ctest -R pattern. A row is "what@file@test@from@to": `from` is source text
# as it reads, matched whatever the blanks and line breaks between its
# tokens (a reflow or a rename elsewhere leaves it standing), which must
# stand exactly once in the file; `to` replaces it. Two workers, each on its
# own scratch copy of the tree, apply one mutant at a time, rebuild what
# that test needs and run it. A mutant it lets through, or one whose `from`
# no longer stands once (mend the row: the message quotes it), fails the
# script. `--rows` only checks, in a second, that every row still stands.
# Usage: tests/mutants.sh [work-dir] | --rows
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$root/build/mutants}
[ "$dir" = --rows ] && dir=$root/build/mutants
work=$(mkdir -p "$dir" && cd "$dir" && pwd)
cell=src/cell/cell.hpp recip=src/cell/recip.cpp form=src/cell/form.cpp
arith=src/cell/arith.hpp conv=src/cell/convert.cpp
cos=src/crmath/cos.cpp acos=src/crmath/acos.cpp last=src/crmath/last.cpp
dd=src/crmath/dd.hpp tables=src/crmath/tables.hpp
xh=src/exact/exact.hpp xc=src/exact/exact.cpp
scan=src/text/scan.cpp fmt=src/text/format.cpp chan=src/console/chan.cpp
chanh=src/console/chan.hpp fd=src/console/fd.cpp dia=src/console/dialogue.cpp
main=src/console/main.cpp numh=src/text/numtext.hpp diah=src/console/dialogue.hpp
api=src/api/dorvex.cpp layout=src/api/layout.cpp py=src/python/module.cpp
rounded=src/crmath/rounded.hpp report=src/text/report.cpp
reporth=src/text/report.hpp derived=src/cell/derived.cpp
refl=src/cell/reflections.cpp batch=src/console/batch.cpp
command=src/console/command.cpp shortest=src/text/shortest.cpp
unc=src/cell/uncertainty.cpp su=src/text/su.cpp
mutants=(
  # the printed digits
  "rad_per_deg as the precise pi/180@$cell@golden@rad_per_deg = 0.0174532925239284@rad_per_deg = 0.017453292519943295"
  "rad_per_deg truncated@$cell@golden@rad_per_deg = 0.0174532925239284@rad_per_deg = 0.0174532925239"
  "two_pi_sq as the precise 2 pi^2@$cell@golden@two_pi_sq = 19.7392088;@two_pi_sq = 19.739208802178716;"
  "deg_per_rad as the precise 180/pi@$cell@golden@deg_per_rad = 57.2957795;@deg_per_rad = 57.29577951308232;"
  "a product of sines in single precision@$recip@golden@(double{sinbr} * double{singr})@(sinbr * singr)"
  "w summed in another order@$recip@golden@rounded(2.0 * ca * cb * cc) + 1.0 - rounded(ca * ca)@1.0 - rounded(ca * ca) + rounded(2.0 * ca * cb * cc)"
  "no single-precision volume@$recip@golden@const float vr = single(@const double vr = ("
  "cos alpha* from the wrong lengths@$form@golden@(recip[slot::b] * recip[slot::c])@(recip[slot::b] * recip[slot::b])"
  "D without its factor q@$form@golden@recip[slot::alpha] * recip[slot::b] * recip[slot::c] * q@recip[slot::alpha] * recip[slot::b] * recip[slot::c]"
  # the functions' rules
  "cosine limit 2^52@$arith@golden@9007199254740992.0@4503599627370496.0"
  "acos(1) a domain error@$arith@golden@!(std::fabs(x) <= 1)@!(std::fabs(x) < 1)"
  "sqrt(-0) a domain error@$arith@golden@const bool fails = x != 0 && std::signbit(x);@const bool fails = std::signbit(x);"
  "negative NaNs kept@$arith@golden@return std::isnan(x) ? std::numeric_limits<double>::quiet_NaN() : x;@return x;"
  "domain errors said for the wrong step@$arith@e2e.Dialogue.ConsoleOutputWithPiped@log.at[log.n++] = {fn, log.step, call};@log.at[log.n++] = {fn, conv_step::angles, call};"
  "cos: table index at 1/64@$cos@unit.EveryPath.Fast@r.hi * 128 + 0x1.8p52@r.hi * 64 + 0x1.8p52"
  "cos: the fast path claims a bound it does not keep@$cos@unit.EveryPath.Fast@cos_or_sin_err = 0x1p-65;@cos_or_sin_err = 0x1p-72;"
  "cos: accurate series cut short@$cos@unit.EveryPath.Accurate@for (u64 n = 18;@for (u64 n = 5;"
  "cos: accurate path's scale off by a bit@$cos@unit.EveryPath.Accurate@sine ? -125 - t.zeros : -127@sine ? -125 - t.zeros : -126"
  "acos: Taylor polynomial without a2 and a3@$acos@unit.EveryPath.Fast@((a[2][i] + a[3][i] * h) +@((0.0 + 0.0 * h) +"
  "acos: integer square root loses its bits@$acos@unit.EveryPath.Accurate@root.lo |= 1;@"
  "last: sine series divides wrongly@$last@unit.EveryPath.Last@big_div_small(t, (a - 1) * a);@big_div_small(t, a * a);"
  "last: Machin's formula miscounted@$last@unit.EveryPath.Last@k == 5 ? 8 : 2@k == 5 ? 8 : 4"
  "last: pi/2 without guard bits@$last@unit.EveryPath.Last@constexpr int guard = 128;@constexpr int guard = 0;"
  "cos: the sine takes S for C@$cos@unit.EveryPath.Fast@sincos_tab + 4 - 4 * std::size_t{sine}@sincos_tab + 4 - 2 * std::size_t{sine}"
  "cos: the row holding pi/2 taken as it is@$cos@unit.EveryPath.Fast@ax >= near_pi_2[1])@ax >= near_pi_2[0])"
  "cos: the table's row past pi/4 cut to 7 bits@$cos@unit.EveryPath.Fast@std::bit_cast<u64>(n) & 511@std::bit_cast<u64>(n) & 127"
  "cos: a negative r's low part keeps its sign@$cos@unit.EveryPath.Fast@r.lo * signed_one(below)@r.lo"
  "acos: x < 0 given the first term of x > 0@$acos@unit.EveryPath.Fast@acos_first[f][0][i][below]@acos_first[f][0][i][0]"
  "acos: tau left off h in the first terms@$acos@unit.EveryPath.Fast@const double th = tau * h;@const double th = h;"
  "the given cell's early angles taken for the other cell@$conv@golden@d = out.given == start::direct ? out.angles[i]@d = out.given == start::recip ? out.angles[i]"
  "cos: the fused reduction without pi/2's third part@$cos@unit.EveryPath.Fast@(s.lo - p.lo) - k * pio2_third@(s.lo - p.lo) - 0.0 * pio2_third"
  "fma: the fused product loses its low part@src/crmath/fma.hpp@unit.EveryPath.Fast@return {p, __builtin_fma(a, b, -p)};@return {p, 0.0};"
  "dd: Veltkamp's split loses its low half@$dd@unit_plain.EveryPath.Fast@al = a - ah;@al = 0;"
  "dd: fast_two_sum drops the error@$dd@unit.EveryPath.Fast@return {s, b - (s - a)};@return {s, 0};"
  "tables: pi/2's low part negated@$tables@unit.EveryPath.Fast@pio2_dd[2] = {0x1.921fb54442d18p+0, 0x1@pio2_dd[2] = {0x1.921fb54442d18p+0, -0x1"
  # exact arithmetic, reading, printing
  "ties away from even@$xh@golden@return half && (more || odd);@return half;"
  "mulhi without a cross product@$xh@unit.EveryPath.Accurate@add(add(hh, u128{0, hl.hi})@add(add(hh, u128{0, 0})"
  "big_div_pow10 forgets a remainder@$xc@golden@rest |= big_div_small@rest = big_div_small"
  "big_mul drops its carry@$xc@unit.EveryPath.Last@out.w[i + y.n] = static_cast<std::uint32_t>(carry);@out.w[i + y.n] = 0;"
  "TAB no longer a blank@$numh@golden@c >= '\\t'@c > '\\t'"
  "sticky bit lost when reading@$scan@golden@round_shift(top, 1, sticky || below)@round_shift(top, 1, below)"
  "a zero printed with its minus sign@$fmt@golden@neg && v ? '-' : 0@neg ? '-' : 0"
  "no carry past the 19th digit@$fmt@unit.FormatFixed.Powers@d[k] == '9'@d[k] == '8'"
  # lines, channels, descriptors, the dialogue
  "a partial write taken as whole@$chan@unit.Channel.EveryOutcome@while (n > 0 && !out.failed)@if (n > 0 && !out.failed)"
  "a failed read without errno taken as the end@$chan@unit.Channel.EveryOutcome@in.error = errno != 0 ? errno : EIO;@in.error = errno;"
  "a line cut by a failed read is used@$chan@unit.NextLine.ALineCut@if (!any || in.error != 0)@if (!any)"
  "a terminal's full line taken@$chan@unit.Channel.ALineATerminal@bytes >= terminal_line_max@bytes > terminal_line_max"
  "Ctrl-Z no longer ends input@$chan@golden@c == 0x1A@c == 0x1B"
  "lines of 4,096 characters@$chanh@golden@line_max = 4096;@line_max = 4097;"
  "non-blocking input waited for as output@$fd@e2e.Dialogue.NonBlocking@retried(fd, true, read_once, &a)@retried(fd, false, read_once, &a)"
  "no retry after a signal@$fd@unit.Descriptor.EveryOutcome@if (errno == EINTR) continue;@"
  "nothing read ahead is given back@$fd@unit.Descriptor.GiveBack@if (unread == 0) return;@if (unread <= 1) return;"
  "a long menu line taken@$dia@golden@if (got == line_got::line) { const int_scan@if (got != line_got::end) { const int_scan"
  "a long line of numbers taken@$dia@golden@if (got == line_got::line) { double t@if (got != line_got::end) { double t"
  "asking goes on after lost output@$dia@unit.Dialogue.OutputLostAtEachQuestion@if (out.failed) return 0;@"
  "going to recipconv before the reports of form_to_recip@$dia@e2e.Dialogue.ConsoleOutputWithPiped@if (!going && c.log.at[k].step != conv_step::form_to_recip)@if (!going)"
  "a terminal's last line left open@$dia@unit.Dialogue.AtATerminal@out.last != '\\n'@false"
  "input ending early as status 3@$diah@e2e.Dialogue.Transcripts@no_input = 1,@no_input = 3,"
  "console chosen by standard input@$main@e2e.Dialogue.ConsoleOutputWithPiped@is_console(fd_out)@is_console(fd_in)"
  "input read ahead is kept@$main@e2e.Dialogue.InputIsRead@give_back(fd_in, in);@"
  # the library
  "a state kept between conversions@$conv@api.no_mutable_state@clear_log(out.log);@static volatile int conversions; ++conversions; clear_log(out.log);"
  "dorvex_report cuts a byte short@$api@api.c@: size - 1;@: size - 2;"
  "rows read a double apart@$api@api.c@convert_as(mode, convention, in + 6 * i, c,@convert_as(mode, convention, in + i, c,"
  "an output a row ahead of its input taken@$api@api.c@out[i] != in && overlap(out[i], rows, in, rows)@out[i] < in && overlap(out[i], rows, in, rows)"
  "a newer header's struct filled@$api@api.c@size > sizeof(dorvex_result)@size > sizeof(dorvex_result) + 64"
  "JavaScript told the wrong offset@$layout@api.c@FIELD(dorvex_result, recip_1),@{\"dorvex_result.recip_1\", offsetof(dorvex_result, recip_volume_1)},"
  "bool taken as a mode in Python@$py@api.python@(PyBool_Check(given.ptr()) || !PyIndex_Check@(!PyIndex_Check"
  "a domain error's step named by its function in Python@$py@api.python@dorvex_step_name(e.step), e.call@dorvex_step_name(e.function), e.call"
  "a product left for the compiler to fuse@$rounded@golden.transcripts_fused@__asm__(\"\" : \"+x\"(x));@(void)x;"
  "the cells' values run together@$report@golden@*o++ = ' ';@"
  "a domain report a byte too long@$reporth@golden@domain_text_len = 20;@domain_text_len = 21;"
  # what follows a conversion
  "convention 1 by the precise 2 pi@$derived@golden.derived@in[i] * two_pi : in[i]@in[i] * 6.283185307179586 : in[i]"
  "D of the direct cell's metric without its 2@$derived@golden.derived@m.form[coef::D] = 2.0 * rounded(a * ab)@m.form[coef::D] = 1.0 * rounded(a * ab)"
  "2 theta as theta@$derived@golden.derived@return 2.0 * (90.0 - rounded(cr_acos(s) * degree_per_rad));@return 90.0 - rounded(cr_acos(s) * degree_per_rad);"
  "a search half as far@$refl@golden.derived@direct[slot::a + i] / d_min@direct[slot::a + i] / (2 * d_min)"
  "a comment line taken for a row@$batch@e2e.CommandLine@if (*p == '\\0' || *p == '#') return row_got::none;@if (*p == '\\0') return row_got::none;"
  "--convention 1 read as 2pi@$command@e2e.CommandLine@o.convention = k == 0 ? conv::two_pi : conv::one;@o.convention = conv::two_pi;"
  "NaN written as NaN@$shortest@e2e.CommandLine@std::memcpy(out, \"nan\", 3);@std::memcpy(out, \"NaN\", 3);"
  "the product rule without its second term@$unc@api.python@z.g[i] = rounded(x.g[i] * y.v) + rounded(x.v * y.g[i]);@z.g[i] = rounded(x.g[i] * y.v);"
  "an s.u. blind to the exponent@$su@api.python@long k = exponent - decimals;@long k = -decimals;"
  "Friedel mates both kept@$refl@api.c@return h > 0 || (h == 0 && (k > 0 || (k == 0 && l > 0)));@return h != 0 || k != 0 || l != 0;"
)
# the target a test needs built
target() {
  case $1 in
    golden.transcripts_fused) echo transcripts_fused ;;
    golden.derived) echo derived ;;
    golden*) echo transcripts ;;
    api.python) echo dorvex_python ;;
    unit.CorrectRounding* | unit.EveryPath*) echo crmath_tests ;;
    unit_plain.*) echo crmath_tests_plain ;;
    unit.*) echo unit_tests ;;
    e2e.*) echo e2e_tests ;;
    api.c) echo api_test ;;
    api.no_mutable_state) echo dorvex_static ;;
  esac
}

# How often `from` stands in a file, blanks and line breaks between its
# tokens aside; with `to`, replaces its one place in the file.
stands() {  # file from [to]
  FROM=$2 TO=${3-} REPLACE=$# perl -0777 -i -ne '
    my @t = $ENV{FROM} =~ /\w+|\S/g;
    my $re = join "", map { ($_ && $t[$_ - 1] =~ /\w$/ && $t[$_] =~ /^\w/
      ? "\\s+" : $_ ? "\\s*" : "") . quotemeta $t[$_] } 0 .. $#t;
    my $n = () = /$re/g;
    s/$re/$ENV{TO}/ if $ENV{REPLACE} == 3 && $n == 1;
    print;
    print STDERR "$n\n";' "$1" 2>&1 >/dev/null
}

if [ "${1:-}" = --rows ]; then
  fail=0
  for row in "${mutants[@]}"; do
    IFS='@' read -r what file test from to <<<"$row"
    n=$(cp "$root/$file" "$work/row" && stands "$work/row" "$from")
    [ "$n" = 1 ] || { echo "$what: \"$from\" stands $n times in $file"; fail=1; }
  done
  echo "${#mutants[@]} rows checked"
  exit $fail
fi

worker() {  # k: takes mutants k, k + 2, ...; a line of result for each
  local src=$work/src$1 build=$work/build$1 i what file test from to n
  rm -rf "$src" && mkdir -p "$src"
  (cd "$root" && git ls-files -z --cached --others --exclude-standard |
    xargs -0 cp --parents -t "$src")
  cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=Release >"$work/log$1"
  cmake --build "$build" >>"$work/log$1"
  # a kill means something only where the unmutated tree passes
  if ! (cd "$build" && ctest -LE slow >"$work/base$1" 2>&1); then
    echo "the unmutated tree fails its tests: $work/base$1; FAILED" \
      >"$work/unmutated$1"
    return
  fi
  for ((i = $1; i < ${#mutants[@]}; i += 2)); do
    IFS='@' read -r what file test from to <<<"${mutants[i]}"
    n=$(stands "$src/$file" "$from" "$to")
    if [ "$n" != 1 ]; then
      echo "$what: \"$from\" stands $n times in $file, not once; FAILED"
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

rm -f "$work"/result* "$work"/base* "$work"/unmutated*
worker 0 & worker 1 & wait
fail=0 killed=0
for k in 0 1; do
  if [ -f "$work/unmutated$k" ]; then
    cat "$work/unmutated$k"
    fail=1
  fi
done
for ((i = 0; i < ${#mutants[@]}; i++)); do
  line=$(cat "$work/result$i" 2>/dev/null || echo "mutant $i: no result; FAILED")
  echo "$line"
  case $line in *FAILED) fail=1 ;; *) killed=$((killed + 1)) ;; esac
done
echo "$killed of ${#mutants[@]} mutants killed"
exit $fail
