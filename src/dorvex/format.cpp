#include <cmath>
#include <cstring>

#include "bignum.hpp"
#include "numtext.hpp"

namespace {

using u128 = unsigned __int128;

constexpr std::uint64_t pow10_u64[10] = {
    1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000};

int bitlen128(u128 v) {
  const auto hi = static_cast<std::uint64_t>(v >> 64);
  if (hi) return 128 - __builtin_clzll(hi);
  const auto lo = static_cast<std::uint64_t>(v);
  return lo ? 64 - __builtin_clzll(lo) : 0;
}

// v / 2^s rounded to an integer, ties to even; s in 1..127.
u128 round_shift(u128 v, int s) {
  const u128 q = v >> s;
  const u128 rest = v - (q << s);
  const u128 half = u128{1} << (s - 1);
  return (rest > half || (rest == half && (q & 1))) ? q + 1 : q;
}

int u64_digits(std::uint64_t v, char* out) {
  char tmp[24];
  int len = 0;
  do {
    tmp[len++] = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v);
  for (int k = 0; k < len; ++k) out[k] = tmp[len - 1 - k];
  return len;
}

// Decimal digits of the integer nearest x * 10^p after the two roundings:
// first to a 64-bit significand, then to an integer, both ties to even.
int scaled_digits(double x, int p, char* out) {
  // sign, zero and non-finite values are the caller's
  int e;
  const double f = std::frexp(std::fabs(x), &e);
  const auto m = static_cast<std::uint64_t>(std::ldexp(f, 53));  // exact
  e -= 53;
  // exact product m * 10^p: at most 83 bits
  u128 prod = u128{m} * pow10_u64[p];
  // first rounding: to 64 significant bits
  const int b = bitlen128(prod);
  if (b > 64) {
    prod = round_shift(prod, b - 64);
    e += b - 64;
    if (bitlen128(prod) > 64) {  // rounded up to 2^64
      prod >>= 1;
      ++e;
    }
  }
  // second rounding: to an integer
  if (e < 0) {
    if (e < -66) return u64_digits(0, out);  // below 2^-2
    return u64_digits(static_cast<std::uint64_t>(round_shift(prod, -e)), out);
  }
  if (e + bitlen128(prod) <= 64)
    return u64_digits(static_cast<std::uint64_t>(prod << e), out);
  big n;
  big_set(n, static_cast<std::uint64_t>(prod));
  big_shl(n, e);
  return big_digits(n, out);
}

// Keeps 19 significant digits, rounding the first dropped one ties to even;
// the positions after it become zeros. Returns the (possibly longer) count.
int keep_19(char* d, int len) {
  if (len <= 19) return len;
  bool up = d[19] > '5';
  if (d[19] == '5') {
    bool rest = false;
    for (int k = 20; k < len; ++k) rest |= d[k] != '0';
    up = rest || ((d[18] - '0') & 1);
  }
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

}  // namespace

int format_fixed(double x, int w, int p, char* out) {
  char body[fixed_max + 8];
  int len = 0;
  const bool neg = std::signbit(x);
  if (!std::isfinite(x)) {
    body[len++] = neg ? '-' : '+';
    for (const char* c = std::isnan(x) ? "NAN" : "INF"; *c; ++c)
      body[len++] = *c;
  } else {
    char d[480];
    int nd = x == 0 ? u64_digits(0, d) : scaled_digits(x, p, d);
    nd = keep_19(d, nd);
    // Zero is unsigned once rounded: -1e-12 prints as 0.000000000.
    if (neg && !(nd == 1 && d[0] == '0')) body[len++] = '-';
    // at least one integer digit, then the point before the last p
    if (nd <= p) {
      const int lead = p + 1 - nd;
      std::memmove(d + lead, d, static_cast<std::size_t>(nd));
      std::memset(d, '0', static_cast<std::size_t>(lead));
      nd = p + 1;
    }
    const int whole = nd - p;
    std::memcpy(body + len, d, static_cast<std::size_t>(whole));
    len += whole;
    if (p > 0) {
      body[len++] = '.';
      std::memcpy(body + len, d + whole, static_cast<std::size_t>(p));
      len += p;
    }
  }
  const int pad = w > len ? w - len : 0;
  std::memset(out, ' ', static_cast<std::size_t>(pad));
  std::memcpy(out + pad, body, static_cast<std::size_t>(len));
  return pad + len;
}
