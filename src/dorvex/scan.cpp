#include <cmath>
#include <cstring>
#include <limits>

#include "bignum.hpp"
#include "numtext.hpp"

namespace {

bool is_digit(char c) {
  return static_cast<unsigned char>(c - '0') < 10;
}

const char* skip_space(const char* p) {
  while (is_space(*p)) ++p;
  return p;
}

// Exponents saturate here: far past any double, far from overflow.
constexpr long long exp_cap = 1000000000;

long long add_capped(long long a, long long b) {
  long long s = a + b;
  return s > exp_cap ? exp_cap : s < -exp_cap ? -exp_cap : s;
}

constexpr double pow10_exact[23] = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Rounds the bits of q from position `shift` up, ties to even, with
// `sticky` standing for any nonzero bits already cut off below q.
std::uint64_t round_at(const big& q, int shift, bool sticky) {
  if (shift <= 0) return big_bits_at(q, 0);
  std::uint64_t m = big_bits_at(q, shift);
  const bool half = big_bit(q, shift - 1);
  sticky = sticky || big_any_below(q, shift - 1);
  if (half && (sticky || (m & 1))) ++m;
  return m;
}

using u128 = unsigned __int128;

// 10^e as an integer, e <= 19; the doubles of the table are exact.
std::uint64_t pow10_int(long long e) {
  return static_cast<std::uint64_t>(pow10_exact[e]);
}

// v * 2^scale rounded to 53 bits, ties to even; sticky stands for nonzero
// bits already cut off below v. Only for results far inside the range.
double round_top(u128 v, bool sticky, int scale) {
  const auto hi = static_cast<std::uint64_t>(v >> 64);
  const int b = hi ? 128 - __builtin_clzll(hi)
                   : 64 - __builtin_clzll(static_cast<std::uint64_t>(v));
  if (b <= 53) return std::ldexp(static_cast<double>(v), scale);
  const int shift = b - 53;
  auto m = static_cast<std::uint64_t>(v >> shift);
  const u128 rest = v & ((u128{1} << shift) - 1), half = u128{1} << (shift - 1);
  if (rest > half || (rest == half && (sticky || (m & 1)))) ++m;
  return std::ldexp(static_cast<double>(m), shift + scale);
}

// digits * 10^e correctly rounded to double, digits > 0, e in range.
double to_double(std::uint64_t digits, long long e) {
  // Exact operands and one rounding: the common case of a typed number.
  if (digits <= (std::uint64_t{1} << 53) && e >= -22 && e <= 22) {
    const double d = static_cast<double>(digits);
    return e >= 0 ? d * pow10_exact[e] : d / pow10_exact[-e];
  }
  // Both operands fit 64 bits: one exact 128-bit product, or a quotient of
  // at least 63 bits with the remainder as sticky bit.
  if (e >= 0 && e <= 19)
    return round_top(u128{digits} * pow10_int(e), false, 0);
  if (e < 0 && e >= -19) {
    const int k = __builtin_clzll(digits) + 63;  // n has 127 bits
    const u128 n = u128{digits} << k, d = pow10_int(-e);
    const u128 q = n / d;
    return round_top(q, n - q * d != 0, -k);
  }
  big x;
  big_set(x, digits);
  if (e >= 0) {
    big_mul_pow10(x, static_cast<int>(e));
    const int b = big_bitlen(x);
    const int shift = b > 53 ? b - 53 : 0;
    const std::uint64_t m = round_at(x, shift, false);
    if (shift + 64 - __builtin_clzll(m) > 1024)
      return std::numeric_limits<double>::max();
    return std::ldexp(static_cast<double>(m), shift);
  }
  // Quotient with at least 66 bits, the rest folded into a sticky bit.
  const int m10 = static_cast<int>(-e);
  const int bits10 = m10 * 3402 / 1024 + 1;  // > log2(10^m10)
  int k = bits10 + 66 - big_bitlen(x);
  if (k < 0) k = 0;
  big_shl(x, k);
  const bool sticky = big_div_pow10(x, m10);
  const int b = big_bitlen(x);
  // Below 2^-1022 fewer bits remain: the lowest is 2^-1074.
  int shift = b - 53;
  if (k - 1074 > shift) shift = k - 1074;
  if (shift > b) return 0.0;
  const std::uint64_t m = round_at(x, shift, sticky);
  return std::ldexp(static_cast<double>(m), shift - k);
}

}  // namespace

int_scan scan_integer(const char* s) {
  const char* p = skip_space(s);
  if (*p == '\0') return {scan_end, 0, p};
  const bool neg = *p == '-';
  if (*p == '+' || *p == '-') {
    ++p;
    if (*p == '\0') return {scan_end, 0, p};
  }
  if (!is_digit(*p)) return {scan_none, 0, p};
  // Magnitude capped just past the range, then saturated.
  constexpr long long top = 2147483648LL;
  long long v = 0;
  for (; is_digit(*p); ++p) {
    v = v * 10 + (*p - '0');
    if (v > top) v = top;
  }
  if (neg) return {scan_one, static_cast<std::int32_t>(-v), p};
  return {scan_one, static_cast<std::int32_t>(v > top - 1 ? top - 1 : v), p};
}

real_scan scan_real(const char* s) {
  const char* p = skip_space(s);
  if (*p == '\0') return {scan_end, 0, p};
  const bool neg = *p == '-';
  if (*p == '+' || *p == '-') {
    ++p;
    if (*p == '\0') return {scan_end, 0, p};
    // The words only with a sign, only in upper case.
    if (std::strncmp(p, "INF", 3) == 0) {
      const double inf = std::numeric_limits<double>::infinity();
      return {scan_one, neg ? -inf : inf, p + 3};
    }
    if (std::strncmp(p, "NAN", 3) == 0) {
      const double nan = std::numeric_limits<double>::quiet_NaN();
      return {scan_one, neg ? -nan : nan, p + 3};
    }
  }
  // Mantissa: the first 19 significant digits, the rest only scale. The
  // counts are bounded by the text's length, so they need no cap.
  std::uint64_t digits = 0;
  int nsig = 0;
  long long e = 0;
  const char* first = p;
  while (*p == '0') ++p;  // not significant
  for (; nsig < 19 && is_digit(*p); ++p, ++nsig)
    digits = digits * 10 + static_cast<unsigned>(*p - '0');
  for (; is_digit(*p); ++p) ++e;
  bool any = p != first;
  if (*p == '.') {
    first = ++p;
    if (nsig == 0)
      for (; *p == '0'; ++p) --e;
    const char* taken = p;
    for (; nsig < 19 && is_digit(*p); ++p, ++nsig)
      digits = digits * 10 + static_cast<unsigned>(*p - '0');
    e -= p - taken;
    while (is_digit(*p)) ++p;
    any = any || p != first;
  }
  if (!any) return {scan_none, 0, p};
  // Exponent: "e" and its sign count even with no digit after them.
  if (*p == 'e' || *p == 'E') {
    ++p;
    const bool eneg = *p == '-';
    if (*p == '+' || *p == '-') ++p;
    long long x = 0;
    for (; is_digit(*p); ++p)
      if (x < exp_cap) x = x * 10 + (*p - '0');
    e = add_capped(e, eneg ? -x : x);
  }
  double v;
  // Under 10^-324 is under half the least denormal; 10^309 is past the top.
  if (digits == 0 || nsig + e <= -324) {
    v = 0.0;
  } else if (nsig - 1 + e >= 309) {
    v = std::numeric_limits<double>::max();
  } else {
    v = to_double(digits, e);
  }
  return {scan_one, neg ? -v : v, p};
}
