// The last path: slow, but its correctness rests on nothing but series
// whose every truncation is counted. Fixed point on the big integer with w
// fraction bits; Ziv's strategy raises w until the result can be rounded.
#include <bit>
#include <cmath>
#include <initializer_list>

#include "crmath/dd.hpp"
#include "crmath/paths.hpp"
#include "crmath/tables.hpp"

namespace {

constexpr int precisions[] = {128, 256, 512};

void set_pow2(big& x, int w) {
  big_set(x, 1);
  big_shl(x, w);
}

// pi/2 2^w within 5w units: 8 atan 1/5 - 2 atan 1/239 (Machin 1706), each
// atan 1/k = sum of (-1)^n / ((2n + 1) k^(2n + 1)).
void pio2_at(big& out, int w) {
  big neg, t, term;
  big_set(out, 0);
  big_set(neg, 0);
  for (const std::uint32_t k : {5u, 239u}) {
    set_pow2(t, w);
    big_div_small(t, k);
    for (std::uint32_t n = 0; t.n > 0; ++n) {
      term = t;
      big_div_small(term, 2 * n + 1);
      big_mul_small(term, k == 5 ? 8 : 2);
      big_add((k == 5) == (n % 2 == 0) ? out : neg, term);
      big_div_small(t, k * k);
    }
  }
  big_sub(out, neg);
}

// pi/2 2^w within 1 unit.
void pio2_fixed(big& out, int w) {
  pio2_at(out, w + 64);
  big_shr(out, 64);
}

// m 2^e 2^w, cut to an integer.
void fixed_of(big& out, u64 m, int e, int w) {
  big_set(out, m);
  if (e + w >= 0)
    big_shl(out, e + w);
  else
    big_shr(out, -(e + w));
}

// v 2^-w to the nearest double (ties to even); v >= 2^128.
double nearest(const big& v, int w) {
  const int n = big_bitlen(v);
  bool rest;
  const u128 top = big_bits_from(v, n - 128, rest);
  return static_cast<double>(round_shift(top, 75, rest).lo) * exp2i(n - 53 - w);
}

// The nearest double to v 2^-w into y; true when every value within err
// units of v rounds to it.
bool ziv(const big& v, u64 err, int w, double& y) {
  big e, lo = v, hi = v;
  big_set(e, err);
  big_sub(lo, e);
  big_add(hi, e);
  y = nearest(v, w);
  return nearest(lo, w) == y && nearest(hi, w) == y;
}

// sum of (-1)^n x^(2n + j) / (2n + j)! for j = 0 (cos) or 1 (sin): terms
// from x^j; every term cut by at most 2 units. Returns the term count.
int sin_cos_series(const big& x, int j, int w, big& sum) {
  big x2, term, t, neg;
  big_mul(x, x, x2);
  big_shr(x2, w);
  if (j)
    term = x;
  else
    set_pow2(term, w);
  sum = term;
  big_set(neg, 0);
  int n = 1;
  for (; term.n > 0; ++n) {
    big_mul(term, x2, t);
    big_shr(t, w);
    const auto a = static_cast<std::uint32_t>(2 * n + j);
    big_div_small(t, (a - 1) * a);
    term = t;
    big_add(n % 2 ? neg : sum, term);
  }
  big_sub(sum, neg);
  return n;
}

// asin z = sum of z u^n prod (2k - 1)^2 / (2k (2k + 1)), u = z^2 <= 1/4.
int asin_series(const big& z, const big& u, int w, big& sum) {
  big term = z, t;
  sum = z;
  int n = 1;
  for (; term.n > 0; ++n) {
    big_mul(term, u, t);
    big_shr(t, w);
    const auto a = static_cast<std::uint32_t>(2 * n);
    big_mul_small(t, (a - 1) * (a - 1));
    big_div_small(t, a * (a + 1));
    term = t;
    big_add(sum, term);
  }
  return n;
}

}  // namespace

double cos_last(double x) {
  const double ax = std::fabs(x);
  int e;
  const u64 m = mantissa(ax, e);
  // the nearest quarter turn, near enough: |r| stays below pi/2
  const double kd = std::floor(ax * two_over_pi_d + 0.5);
  const auto k = static_cast<u64>(kd);
  double y = 0;
  bool negative = false;
  for (const int p : precisions) {
    const int w = p + 96;
    big r, kp, kb, sum;
    fixed_of(r, m, e, w);
    pio2_at(kp, w + 64);
    big_set(kb, k);
    big_mul(kp, kb, sum);
    big_shr(sum, 64);  // k pi/2, within 1 unit
    negative = big_cmp(r, sum) < 0;
    if (negative) {
      kp = sum;
      big_sub(kp, r);
      r = kp;
    } else {
      big_sub(r, sum);
    }
    // cos(k pi/2 + r) = cos r, -sin r, -cos r, sin r
    const bool sine = k & 1;
    const int terms = sin_cos_series(r, sine, w, sum);
    if (ziv(sum, 4 * static_cast<u64>(terms) + 16, w, y)) break;
  }
  const bool minus = ((k & 3) == 1 || (k & 3) == 2) != ((k & 1) && negative);
  return minus ? -y : y;
}

double acos_last(double x) {
  const double ax = std::fabs(x);
  double y = 0;
  for (const int p : precisions) {
    const int w = p + 96;
    big z, u, sum, pi;
    int e = 0;
    if (ax <= 0.5) {  // pi/2 - asin x
      const u64 m = mantissa(ax, e);
      fixed_of(z, m, e, w);
      big_mul(z, z, u);
      big_shr(u, w);
    } else {  // 2 asin sqrt((1 - |x|)/2), and pi minus that for x < 0
      const u64 m = mantissa((1 - ax) * 0.5, e);
      fixed_of(u, m, e, w);
      fixed_of(sum, m, e, 2 * w);
      big_isqrt(sum, z);
    }
    const int terms = asin_series(z, u, w, sum);
    pio2_fixed(pi, w);
    if (ax <= 0.5) {
      if (x < 0) {
        big_add(sum, pi);
      } else {
        big_sub(pi, sum);
        sum = pi;
      }
    } else {
      big_add(sum, sum);
      if (x < 0) {
        big_add(pi, pi);
        big_sub(pi, sum);
        sum = pi;
      }
    }
    if (sum.n == 0) return 0;  // acos 1
    if (ziv(sum, 4 * static_cast<u64>(terms) + 16, w, y)) break;
  }
  return y;
}
