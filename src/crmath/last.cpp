// The last path: slow, but its correctness rests on nothing but series
// whose every truncation is counted. Fixed point on the big integer with w
// fraction bits; Ziv's strategy raises w until the result can be rounded.
// The error bounds are derived in HACKING.md, "Error bounds".
#include <bit>
#include <cmath>
#include <initializer_list>

#include "crmath/dd.hpp"
#include "crmath/paths.hpp"
#include "crmath/tables.hpp"

namespace {

// pi/2 carries this many bits past w, so that its error times a quadrant
// count below 2^52.35 stays below 2^-60 of a unit.
constexpr int guard = 128;
// The widest value: a square of w + 1 bits (the series), as limbs.
static_assert(2 * (fraction_bits[2] + 32) <= 32 * big::cap,
              "the last path's squares must fit the big integer");
static_assert(fraction_bits[2] + guard + 64 + 32 <= 32 * big::cap,
              "k pi/2 must fit the big integer");

void set_pow2(big& x, int w) {
  big_set(x, 1);
  big_shl(x, w);
}

// pi/2 2^w within 4w units (for w >= 224): 8 atan 1/5 - 2 atan 1/239
// (Machin 1706), each atan 1/k = sum of (-1)^n / ((2n + 1) k^(2n + 1)).
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

// The integer nearest m 2^e 2/pi, exactly: 384 bits of 2/pi leave an
// error below 2^-331, and no double below 2^53 comes that near an odd
// multiple of pi/4 (the tests' continued fractions find none within
// 2^-64).
u64 quarter_turns_exactly(u64 m, int e) {
  big x, c, p;
  big_set(x, m);
  c.n = 12;
  for (int j = 0; j < 6; ++j) {  // two_over_pi is most significant first
    const u64 word = two_over_pi[5 - j];
    c.w[j + j] = static_cast<std::uint32_t>(word);
    c.w[j + j + 1] = static_cast<std::uint32_t>(word >> 32);
  }
  big_mul(x, c, p);  // x 2/pi 2^(384 - e)
  set_pow2(x, 383 - e);
  big_add(p, x);  // plus one half
  big_shr(p, 384 - e);
  bool rest;
  return big_bits_from(p, 0, rest).lo;
}

// sum of (-1)^n x^(2n + j) / (2n + j)! for j = 0 (cos) or 1 (sin): terms
// from x^j, each within 3 units (x <= pi/4); returns the term count.
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

// asin z = sum of z u^n prod (2k - 1)^2 / (2k (2k + 1)), u = z^2 <= 1/4:
// terms within 4 units; returns the term count.
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

// The nearest double to a path's value, w raised until it can be rounded;
// past the last w, the nearest double to the last value.
double round_last(last_value (*value)(double, int), double x) {
  double y = 0;
  bool negative = false;
  for (const int w : fraction_bits) {
    const last_value a = value(x, w);
    negative = a.negative;
    if (a.v.n == 0) return 0;  // acos 1
    if (ziv(a.v, a.err, w, y)) break;
  }
  return negative ? -y : y;
}

}  // namespace

last_value cos_last_value(double x, int w) {
  int e;
  const u64 m = mantissa(std::fabs(x), e);
  const u64 k = quarter_turns_exactly(m, e);
  last_value out{};
  out.w = w;
  // r = |x - k pi/2| within 1 unit: x 2^w is exact (e + w > 0), k pi/2 is
  // cut once
  big r, kp, kb;
  fixed_of(r, m, e, w);
  pio2_at(kp, w + guard);
  big_set(kb, k);
  big_mul(kp, kb, out.v);
  big_shr(out.v, guard);
  const bool below = big_cmp(r, out.v) < 0;
  if (below) {
    big_sub(out.v, r);
    r = out.v;
  } else {
    big_sub(r, out.v);
  }
  // cos(k pi/2 + r) = cos r, -sin r, -cos r, sin r
  const bool sine = k & 1;
  const int terms = sin_cos_series(r, sine, w, out.v);
  out.err = 3 * static_cast<u64>(terms) + 2;  // the series, and r
  out.negative = ((k & 3) == 1 || (k & 3) == 2) != (sine && below);
  return out;
}

last_value acos_last_value(double x, int w) {
  const double ax = std::fabs(x);
  last_value out{};
  out.w = w;
  big z, u, pi;
  int e = 0;
  if (ax <= 0.5) {  // pi/2 - asin x
    const u64 m = mantissa(ax, e);
    fixed_of(z, m, e, w);  // within 1 unit
    big_mul(z, z, u);
    big_shr(u, w);  // within 2 units
  } else {          // 2 asin sqrt((1 - |x|)/2), and pi minus that for x < 0
    const u64 m = mantissa((1 - ax) * 0.5, e);  // exact
    fixed_of(u, m, e, w);                       // exact
    fixed_of(pi, m, e, 2 * w);
    big_isqrt(pi, z);  // within 1 unit
  }
  const int terms = asin_series(z, u, w, out.v);
  const u64 series = 4 * static_cast<u64>(terms) + 2;
  pio2_at(pi, w + 64);
  big_shr(pi, 64);  // pi/2 within 1 unit
  if (ax <= 0.5) {
    if (x < 0) {
      big_add(out.v, pi);
    } else {
      big_sub(pi, out.v);
      out.v = pi;
    }
    out.err = series + 2;
    return out;
  }
  big_add(out.v, out.v);
  out.err = 2 * series;
  if (x < 0) {
    big_add(pi, pi);
    big_sub(pi, out.v);
    out.v = pi;
    out.err += 3;
  }
  return out;
}

double cos_last(double x) {
  return round_last(cos_last_value, x);
}

double acos_last(double x) {
  return round_last(acos_last_value, x);
}
