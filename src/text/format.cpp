// Printing: "%w.plf" from exact integer arithmetic, written in place.
#include <cmath>
#include <cstring>

#include "crmath/dd.hpp"
#include "exact/exact.hpp"
#include "text/numtext.hpp"

namespace {

// The integer nearest |x| * 10^p after two roundings, first to a 64-bit
// significand, then to an integer, both ties to even. Fits 64 bits: true
// and the value in v; otherwise false and the value in n.
bool scale_to_integer(double x, int p, u64& v, big& n) {
  // |x| = m 2^e from its bits (a subnormal's m unnormalised: the value,
  // and so its leading 64 bits, are the same)
  int e;
  const u64 m = mantissa(std::fabs(x), e);
  u128 prod = mul(m, ten_to[p]);  // exact: at most 83 bits
  const int b = bitlen(prod);
  if (b > 64) {
    prod = round_shift(prod, b - 64, false);
    e += b - 64;
    if (prod.hi) {  // rounded up to 2^64
      prod = shr(prod, 1);
      ++e;
    }
  }
  if (e < 0) {
    v = e < -66 ? 0 : round_shift(prod, -e, false).lo;  // below 2^-2: 0
    return true;
  }
  if (e + bitlen(prod) <= 64) {
    v = prod.lo << e;
    return true;
  }
  static_assert(1024 + 30 <= 32 * big::cap);  // DBL_MAX 10^9 < 2^1054
  big_set(n, prod.lo);
  big_shl(n, e);
  return false;
}

// Keeps 19 significant digits, rounded by the one rule on the digits
// dropped; the positions after them become zeros. Returns the (possibly longer)
// count.
int keep_19(char* d, int len) {
  if (len <= 19) return len;
  bool more = d[19] > '5';
  for (int k = 20; k < len; ++k) more = more || d[k] != '0';
  const bool up = rounds_up(d[19] >= '5', more, (d[18] - '0') & 1);
  std::memset(d + 19, '0', static_cast<std::size_t>(len - 19));
  if (!up) return len;
  int k = 18;
  for (; k >= 0 && d[k] == '9'; --k) d[k] = '0';
  if (k >= 0) {
    ++d[k];
    return len;
  }
  std::memmove(d + 1, d, static_cast<std::size_t>(len));
  d[0] = '1';
  return len + 1;
}

// Blanks up to width w for a text of len characters, then the sign.
char* pad_then_sign(char* out, int w, int len, char sign) {
  const int pad = w > len ? w - len : 0;
  std::memset(out, ' ', static_cast<std::size_t>(pad));
  out += pad;
  if (sign) *out++ = sign;
  return out;
}

}  // namespace

int format_fixed(double x, int w, int p, char* out) {
  const bool neg = std::signbit(x);
  if (!std::isfinite(x)) {
    char* o = pad_then_sign(out, w, 4, neg ? '-' : '+');
    const char* word = std::isnan(x) ? "NAN" : "INF";
    for (int k = 0; k < 3; ++k) *o++ = word[k];
    return static_cast<int>(o - out);
  }
  u64 v = 0;
  big n;
  if (x == 0 || scale_to_integer(x, p, v, n)) {
    if (v < ten_to[19]) {
      // The common case: the whole part and the decimals, each written
      // once; zero prints unsigned.
      const int nd = digit_count(v), whole = nd > p ? nd - p : 1;
      const int len = (neg && v) + whole + (p > 0) + p;
      char* o = pad_then_sign(out, w, len, neg && v ? '-' : 0);
      const u64 unit = ten_to[p];
      o += put_digits(v / unit, whole, o);
      if (p > 0) {
        *o++ = '.';
        put_digits(v % unit, p, o);
      }
      return w > len ? w : len;
    }
  }
  // 20 digits or more: the 19-digit rule needs them as text first.
  char d[fixed_max + 8];
  int nd = v ? put_digits(v, 1, d) : big_digits(n, d);
  nd = keep_19(d, nd);
  const int whole = nd - p, len = neg + nd + (p > 0);
  char* o = pad_then_sign(out, w, len, neg ? '-' : 0);
  std::memcpy(o, d, static_cast<std::size_t>(whole));
  o += whole;
  if (p > 0) *o++ = '.';
  std::memcpy(o, d + whole, static_cast<std::size_t>(p));
  return static_cast<int>(o + p - out);
}
