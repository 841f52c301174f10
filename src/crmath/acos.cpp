#include <bit>
#include <cmath>

#include "crmath/crmath.hpp"
#include "crmath/dd.hpp"
#include "crmath/fma.hpp"
#include "crmath/paths.hpp"
#include "crmath/tables.hpp"

namespace {

// The forms acos takes, as indices of acos_first; then x < 0 as its last.
enum form : int {
  pio2 = 0,   // pi/2 - asin z, x >= 0; pi/2 + asin z, x < 0
  twice = 1,  // 2 asin z, x > 1/2; pi - 2 asin z, x < -1/2
};

// k + tau asin(z + zl) for 0 <= z <= 1/2, |zl| <= 2^-53 z (zl = 0 unless
// near1), k + tau a0 from acos_first, within acos_fast_err of the result
// (HACKING.md, "Error bounds"): the Taylor polynomial of degree 9 at the
// nearest i/128 (Tang 1990), its tail by Estrin's scheme, whose products
// wait on one another three deep where Horner's wait seven. zl counts in
// the first two terms only.
template <bool fused, bool near1, form f>
[[gnu::always_inline]] inline dd plus_asin(int below, double z, double zl) {
  // i = 128 z to the nearest integer, read from the last bits of its sum
  // with 1.5 2^52; h = z - i/128 is exact
  const double t = z * 128 + 0x1.8p52, n = t - 0x1.8p52;
  const auto i = std::bit_cast<std::uint64_t>(t) & 127;
  const auto& a = asin_tab;  // a1 as a double-double, a2..a9
  const double h = z - n * 0x1p-7, h2 = h * h, h4 = h2 * h2;
  // p = a2 + a3 h + ... + a9 h^7
  const double p =
      ((a[2][i] + a[3][i] * h) + (a[4][i] + a[5][i] * h) * h2) +
      ((a[6][i] + a[7][i] * h) + (a[8][i] + a[9][i] * h) * h2) * h4;
  static constexpr double taus[2][2] = {{-1, 1}, {2, -2}};
  const double ch = acos_first[f][0][i][below], cl = acos_first[f][1][i][below],
               tau = taus[f][below];
  // tau (a power of two) scales h before the table's values arrive, not
  // the products after: the same roundings, earlier
  const double th = tau * h;
  const dd m = two_prod_as<fused>(a[0][i], th);
  // (|ch| >= |m.hi| in every row, or ch = 0: bounds.py checks it)
  const dd s = fast_two_sum(ch, m.hi);
  double rest = m.lo + a[1][i] * th;
  if constexpr (near1) rest += (a[0][i] + 2 * a[2][i] * h) * (tau * zl);
  // s.lo and p, the last to be ready, wait on one step each; the rounding
  // test takes the sum as it is, not renormalised
  return {s.hi, (tau * h2) * p + (s.lo + (cl + rest))};
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

// The relative error of the fast path's acos: plus_asin's (HACKING.md,
// "Error bounds").
constexpr double acos_fast_err = 0x1p-65;

namespace {
// The fast path's value, made in place: cr_acos takes it without a call.
template <bool fused>
[[gnu::always_inline]] inline fast_value fast_acos(double x) {
  const double ax = std::fabs(x);
  dd v;
  if (ax <= 0.5) {  // pi/2 - asin x
    // (the sign as a bit, not as a branch, which random signs mislead)
    const int below = static_cast<int>(std::bit_cast<std::uint64_t>(x) >> 63);
    v = plus_asin<fused, false, pio2>(below, ax, 0);
  } else {  // acos |x| = 2 asin sqrt((1 - |x|)/2), acos -x = pi - acos x
    const double h = (1 - ax) * 0.5;  // exact
    const double r = std::sqrt(h);    // correctly rounded by IEEE 754
    // sqrt h = r + (h - r^2)/2r, and 1/2r = r/2h, whose division runs
    // beside the root instead of after it; h - r^2 is a double, exactly
    // (one fused step gives it). A positive h is at least 2^-54: the floor
    // only keeps 0 * inf from x = 1 and -1, with no branch.
    const double half = 0.5 / (h > 0x1p-1000 ? h : 0x1p-1000);
    double e;
    if constexpr (fused) {
      e = __builtin_fma(-r, r, h);
    } else {
      const dd p = two_prod(r, r);
      e = (h - p.hi) - p.lo;
    }
    const double zl = e * (r * half);
    const int below = static_cast<int>(std::bit_cast<std::uint64_t>(x) >> 63);
    v = plus_asin<fused, true, twice>(below, r, zl);
  }
  return {v, acos_fast_err * v.hi};  // (v.hi >= 0: no fabs)
}

// The whole function with the fast path compiled for the CPU or not.
template <bool fused>
[[gnu::always_inline]] inline double acos_as(double x) {
  const fast_value a = fast_acos<fused>(x);
  double y;
  if (round_dd(a.v, a.err, y)) return y;
  return past_fast<acos_accurate, acos_last>(x);
}

#if DORVEX_FMA_CLONE
DORVEX_FMA_TARGET fast_value fast_acos_fused(double x) {
  return fast_acos<true>(x);
}
DORVEX_FMA_TARGET double acos_fused(double x) {
  return acos_as<true>(x);
}
// (apart too, so that choosing a copy costs only a test and a jump)
[[gnu::noinline]] double acos_plain(double x) {
  return acos_as<false>(x);
}
#endif
}  // namespace

fast_value acos_fast_value(double x) {
#if DORVEX_FMA_CLONE
  if (cpu_has_fma()) return fast_acos_fused(x);
#endif
  return fast_acos<false>(x);
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
#if DORVEX_FMA_CLONE
  return cpu_has_fma() ? acos_fused(x) : acos_plain(x);
#else
  return acos_as<false>(x);
#endif
}
