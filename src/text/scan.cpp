// Reading: a line's text is first split into a small decimal record, which
// is then converted to a double, correctly rounded.
#include <cmath>
#include <cstring>
#include <limits>

#include "crmath/rounded.hpp"  // one rounding per double operation
#include "exact/exact.hpp"
#include "text/numtext.hpp"

namespace {

bool is_digit(char c) {
  return static_cast<unsigned char>(c - '0') < 10;
}

// White space, then one optional sign; `end` when the line ends there:
// nothing to read.
struct number_head {
  const char* p;  // after the sign
  bool neg, sign, end;
};

number_head number_start(const char* s) {
  while (is_space(*s)) ++s;
  const bool neg = *s == '-', sign = neg || *s == '+';
  const char* p = sign ? s + 1 : s;
  return {p, neg, sign, *p == '\0'};
}

// The text of a real number, split: at most 19 significant digits, the
// decimal exponent of the last one kept, or one of the signed words.
enum class kind { none, number, inf, nan };
struct decimal {
  kind what;
  bool neg;
  u64 digits;
  int nsig;
  long long exp;
  const char* next;  // where the number's text ended
};

// Exponents saturate here: far past any double, far from overflow.
constexpr long long exp_cap = 1000000000;

decimal parse_decimal(const char* p, bool neg, bool sign) {
  // The words only after a sign, only in upper case.
  if (sign) {
    if (std::strncmp(p, "INF", 3) == 0) return {kind::inf, neg, 0, 0, 0, p + 3};
    if (std::strncmp(p, "NAN", 3) == 0) return {kind::nan, neg, 0, 0, 0, p + 3};
  }
  // Mantissa: the first 19 significant digits, the rest only scale. The
  // counts are bounded by the text's length, so they need no cap.
  decimal d{kind::number, neg, 0, 0, 0, p};
  const char* first = p;
  while (*p == '0') ++p;  // not significant
  for (; d.nsig < 19 && is_digit(*p); ++p, ++d.nsig)
    d.digits = d.digits * 10 + static_cast<unsigned>(*p - '0');
  for (; is_digit(*p); ++p) ++d.exp;
  bool any = p != first;
  if (*p == '.') {
    first = ++p;
    if (d.nsig == 0)
      for (; *p == '0'; ++p) --d.exp;
    const char* taken = p;
    for (; d.nsig < 19 && is_digit(*p); ++p, ++d.nsig)
      d.digits = d.digits * 10 + static_cast<unsigned>(*p - '0');
    d.exp -= p - taken;
    while (is_digit(*p)) ++p;
    any = any || p != first;
  }
  d.next = p;
  if (!any) {
    d.what = kind::none;
    return d;
  }
  // Exponent: "e" and its sign count even with no digit after them.
  if (*p == 'e' || *p == 'E') {
    ++p;
    const bool eneg = *p == '-';
    if (*p == '+' || *p == '-') ++p;
    long long x = 0;
    for (; is_digit(*p); ++p)
      if (x < exp_cap) x = x * 10 + (*p - '0');
    const long long e = d.exp + (eneg ? -x : x);
    d.exp = e > exp_cap ? exp_cap : e < -exp_cap ? -exp_cap : e;
    d.next = p;
  }
  return d;
}

// v * 2^scale rounded to 53 bits; sticky stands for nonzero bits already
// cut off below v. Only for results far inside the range.
double round_to_double(u128 v, bool sticky, int scale) {
  const int b = bitlen(v);
  if (b <= 53) return std::ldexp(static_cast<double>(v.lo), scale);
  const u128 m = round_shift(v, b - 53, sticky);
  return std::ldexp(static_cast<double>(m.lo), b - 53 + scale);
}

// x rounded from bit `shift` up, as an integer of at most 54 bits.
u64 round_big_to_bits(const big& x, int shift, bool sticky) {
  bool below;
  if (shift <= 0) return big_bits_from(x, 0, below).lo;  // exact
  const u128 top = big_bits_from(x, shift - 1, below);
  return round_shift(top, 1, sticky || below).lo;
}

// digits * 10^e correctly rounded to double; digits > 0, e in range.
double to_double(u64 digits, long long e) {
  // Exact operands and one rounding: the common case of a typed number.
  if (digits <= (u64{1} << 53) && e >= -22 && e <= 22) {
    const double d = static_cast<double>(digits);
    return e >= 0 ? d * ten_to_exactly.at[e] : d / ten_to_exactly.at[-e];
  }
  // Both operands fit 64 bits: one exact 128-bit product, or a quotient of
  // at least 63 bits with the remainder as sticky bit.
  if (e >= 0 && e <= 19)
    return round_to_double(mul(digits, ten_to[e]), false, 0);
  if (e < 0 && e >= -19) {
    const int k = std::countl_zero(digits) + 63;  // n has 127 bits
    bool rest;
    const u128 q = divide(shl({0, digits}, k), ten_to[-e], rest);
    return round_to_double(q, rest, -k);
  }
  big x;
  big_set(x, digits);
  if (e >= 0) {
    big_mul_pow10(x, static_cast<int>(e));
    const int b = big_bitlen(x);
    const int shift = b > 53 ? b - 53 : 0;
    const u64 m = round_big_to_bits(x, shift, false);
    if (shift + 64 - std::countl_zero(m) > 1024)
      return std::numeric_limits<double>::max();
    return std::ldexp(static_cast<double>(m), shift);
  }
  // Quotient with at least 66 bits, the rest folded into a sticky bit.
  // convert() lets e down to -342 (19 digits, 10^-323): the dividend then
  // has pow10_bits + 66 bits.
  static_assert(342 * 3402 / 1024 + 1 + 66 <= 32 * big::cap);
  const int neg_exp = static_cast<int>(-e);
  const int pow10_bits = neg_exp * 3402 / 1024 + 1;  // > log2(10^neg_exp)
  int k = pow10_bits + 66 - big_bitlen(x);
  if (k < 0) k = 0;
  big_shl(x, k);
  const bool sticky = big_div_pow10(x, neg_exp);
  const int b = big_bitlen(x);
  // Below 2^-1022 fewer bits remain: the lowest is 2^-1074.
  int shift = b - 53;
  if (k - 1074 > shift) shift = k - 1074;
  if (shift > b) return 0.0;
  const u64 m = round_big_to_bits(x, shift, sticky);
  return std::ldexp(static_cast<double>(m), shift - k);
}

double convert(const decimal& d) {
  double v;
  if (d.what == kind::inf) {
    v = std::numeric_limits<double>::infinity();
  } else if (d.what == kind::nan) {
    v = std::numeric_limits<double>::quiet_NaN();
  } else if (d.digits == 0 || d.nsig + d.exp <= -324) {
    v = 0.0;  // under 10^-324 is under half the least denormal
  } else if (d.nsig - 1 + d.exp >= 309) {
    v = std::numeric_limits<double>::max();  // 10^309 is past the top
  } else {
    v = to_double(d.digits, d.exp);
  }
  return d.neg ? -v : v;
}

}  // namespace

int_scan scan_integer(const char* s) {
  const number_head st = number_start(s);
  const char* p = st.p;
  if (st.end) return {scan_got::end, 0, p};
  if (!is_digit(*p)) return {scan_got::none, 0, p};
  // Magnitude capped just past the range, then saturated.
  constexpr long long top = 2147483648LL;
  long long v = 0;
  for (; is_digit(*p); ++p) {
    v = v * 10 + (*p - '0');
    if (v > top) v = top;
  }
  if (st.neg) return {scan_got::one, static_cast<std::int32_t>(-v), p};
  return {scan_got::one, static_cast<std::int32_t>(v > top - 1 ? top - 1 : v),
          p};
}

real_scan scan_real(const char* s) {
  const number_head st = number_start(s);
  if (st.end) return {scan_got::end, 0, st.p};
  const decimal d = parse_decimal(st.p, st.neg, st.sign);
  if (d.what == kind::none) return {scan_got::none, 0, d.next};
  return {scan_got::one, convert(d), d.next};
}
