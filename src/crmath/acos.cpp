#include <bit>
#include <cmath>

#include "crmath/crmath.hpp"
#include "crmath/dd.hpp"
#include "crmath/paths.hpp"
#include "crmath/tables.hpp"

namespace {

// asin z for 0 <= z <= 1/2, relative error below 2^-65.8 (near 1/128;
// HACKING.md, "Error bounds"): the Taylor polynomial of degree 11 at the
// nearest i/128 (Tang 1990).
dd asin_table(dd z) {
  const int i = static_cast<int>(nearest_int(z.hi * 128));
  const double* a = asin_tab[i];  // a0 and a1 as double-doubles, a2..a11
  const dd d = two_sum(z.hi - i * 0x1p-7, z.lo);  // the difference is exact
  const double h = d.hi;
  double p = a[13];
  for (int k = 12; k >= 4; --k) p = a[k] + h * p;
  const dd m = two_prod(a[2], h);
  const dd s = two_sum(a[0], m.hi);
  const double lo = s.lo + a[1] + m.lo + a[2] * d.lo + a[3] * h + h * h * p;
  return fast_two_sum(s.hi, lo);
}

// 2 bits of the radicand m 4^k to 1 of the root; k such that the root,
// floor(sqrt(m) 2^k), has 125 bits.
u128 isqrt125(u64 m, int& k) {
  const int pairs = (static_cast<int>(std::bit_width(m)) + 1) / 2;
  k = 125 - pairs;
  u128 root{0, 0}, rest{0, 0};
  for (int i = pairs - 1; i >= pairs - 125; --i) {
    rest = add(shl(rest, 2), {0, i >= 0 ? m >> (2 * i) & 3 : 0});
    const u128 trial = add(shl(root, 2), {0, 1});
    root = shl(root, 1);
    if (!less(rest, trial)) {
      rest = sub(rest, trial);
      root.lo |= 1;
    }
  }
  return root;
}

}  // namespace

// The relative error of the fast path's acos, at most that of asin_table
// (pi/2 - asin x and pi - 2 asin z are larger than the asin they hold).
constexpr double acos_fast_err = 0x1p-65;

namespace {
// The fast path's value, made in place: cr_acos takes it without a call.
[[gnu::always_inline]] inline fast_value fast_acos(double x) {
  const double ax = std::fabs(x);
  dd v;
  if (ax <= 0.5) {  // pi/2 - asin x
    const dd s = asin_table({ax, 0});
    const double sh = x < 0 ? s.hi : -s.hi, sl = x < 0 ? s.lo : -s.lo;
    const dd a = two_sum(pio2_dd[0], sh);
    v = fast_two_sum(a.hi, a.lo + pio2_dd[1] + sl);
  } else {  // acos |x| = 2 asin sqrt((1 - |x|)/2), acos -x = pi - acos x
    const double h = (1 - ax) * 0.5;  // exact
    const double r = std::sqrt(h);    // correctly rounded by IEEE 754
    const dd p = two_prod(r, r);
    const dd z =
        r > 0 ? fast_two_sum(r, ((h - p.hi) - p.lo) / (2 * r)) : dd{0, 0};
    const dd s = asin_table(z);
    if (x > 0) {
      v = {2 * s.hi, 2 * s.lo};
    } else {
      const dd a = two_sum(pi_dd[0], -2 * s.hi);
      v = fast_two_sum(a.hi, a.lo + pi_dd[1] - 2 * s.lo);
    }
  }
  return {v, acos_fast_err * std::fabs(v.hi)};
}
}  // namespace

fast_value acos_fast_value(double x) {
  return fast_acos(x);
}

bool acos_fast(double x, double& y) {
  const fast_value a = acos_fast_value(x);
  return round_dd(a.v, a.err, y);
}

// Below 19 units of 2^ex (HACKING.md, "Error bounds"); 64 claimed.
constexpr u64 acos_accurate_err = 64;

fixed_value acos_accurate_value(double x) {
  const double ax = std::fabs(x);
  // z = zz 2^ze with zz's top bit set; u = z^2 in units of 2^-128
  u128 zz{0, 0}, u{0, 0};
  int ze = -256;
  if (ax <= 0.5) {
    int e;
    const u64 m = mantissa(ax, e);
    if (m) {
      const int n = static_cast<int>(std::bit_width(m));
      zz = shl({0, m}, 128 - n);
      ze = e + n - 128;
      const int sh = -(256 + 2 * ze);
      u = sh < 128 ? shr(mulhi(zz, zz), sh) : u128{0, 0};
    }
  } else {
    int e;
    u64 m = mantissa((1 - ax) * 0.5, e);  // h, exact
    u = shl({0, m}, 128 + e);             // u = h itself
    if (e & 1) {
      m <<= 1;
      --e;
    }
    if (m) {
      int k;
      zz = shl(isqrt125(m, k), 3);  // sqrt h
      ze = e / 2 - k - 3;
    }
  }
  // asin z = z (1 + u k1 (1 + u k2 (...))), kn = (2n-1)^2 / (2n (2n+1))
  const u128 one = {u64{1} << 63, 0};
  u128 t = one;
  const int lz = u.hi ? std::countl_zero(u.hi) : 64 + std::countl_zero(u.lo);
  bool rest;
  for (u64 n = lz < 128 ? 130 / static_cast<u64>(lz) + 1 : 0; n >= 1; --n)
    t = add(one, times(divide(mulhi(u, t), 2 * n * (2 * n + 1), rest),
                       (2 * n - 1) * (2 * n - 1)));
  const u128 as = mulhi(zz, t);  // asin z = as 2^(ze + 1)
  const u128 pi = shl(pio2_q126, 1);
  if (ax <= 0.5) {  // pi/2 -+ asin x, in units of 2^-126
    const u128 a = -(ze + 127) < 128 ? shr(as, -(ze + 127)) : u128{0, 0};
    return {x < 0 ? add(pio2_q126, a) : sub(pio2_q126, a), acos_accurate_err,
            -126, false};
  }
  if (x > 0) return {as, acos_accurate_err, ze + 2, false};
  const u128 a = -(ze + 128) < 128 ? shr(as, -(ze + 128)) : u128{0, 0};
  return {sub(pi, a), acos_accurate_err, -126, false};
}

bool acos_accurate(double x, double& y) {
  if (std::fabs(x) == 1) {  // exact: 0 and the double nearest pi
    y = x > 0 ? 0 : pi_dd[0];
    return true;
  }
  const fixed_value a = acos_accurate_value(x);
  return round_fixed(a.v, a.err, a.ex, y);
}

double cr_acos(double x) {
  const fast_value a = fast_acos(x);
  double y;
  if (round_dd(a.v, a.err, y) || acos_accurate(x, y)) return y;
  return acos_last(x);
}
