#include <bit>
#include <cmath>

#include "crmath/crmath.hpp"
#include "crmath/dd.hpp"
#include "crmath/fma.hpp"
#include "crmath/paths.hpp"
#include "crmath/tables.hpp"

namespace {

// |x| = q pi/2 + r, |r| <= about pi/4; r.hi + r.lo within 2^-100 |r| +
// err of r (the relative part, at most 2^-99.8 of cos r or sin r, counts
// in cos_or_sin_err).
struct reduced {
  dd r;
  unsigned q;
  double err;
};

// The relative error of cos_or_sin with the reduction's relative part: at
// most 2^-65.9 (the sine near 1/128; 2^-67.2 for the cosine), HACKING.md,
// "Error bounds".
constexpr double cos_or_sin_err = 0x1p-65;

// Cody-Waite with pi/2 in four parts, for |x| < 2^20 (k < 2^20): k times
// any of the first three is exact (Cody & Waite 1980, ch. 8). The error
// of r is below 2^-104 |r| + k 2^-153.
[[gnu::always_inline]] inline reduced reduce_cody_waite(double ax) {
  // k and its last bits from ax 2/pi + 1.5 2^52
  const double n = ax * two_over_pi_d + 0x1.8p52, k = rounded(n) - 0x1.8p52;
  const double r1 = ax - k * cw_pio2[0];  // exact, by Sterbenz's lemma
  const dd a = two_sum(r1, -(k * cw_pio2[1]));
  const dd b = two_sum(a.hi, -(k * cw_pio2[2]));
  const dd r = two_sum(b.hi, (a.lo + b.lo) - k * cw_pio2[3]);
  return {r, static_cast<unsigned>(std::bit_cast<std::uint64_t>(n)) & 3,
          k * 0x1p-130};
}

#if DORVEX_FMA_CLONE
// The same with FMA, pi/2 in three doubles P1 + P2 + P3: x - k P1 is one
// exact fused step (x and k P1 are multiples of 2^-53 and their difference
// is below 1), k P2 is exact as two doubles; the sum of the small parts
// and k P3 err by below 2^-104 |r| + k 2^-135.
[[gnu::always_inline]] inline reduced reduce_fused(double ax) {
  const double n = ax * two_over_pi_d + 0x1.8p52, k = rounded(n) - 0x1.8p52;
  const double r1 = __builtin_fma(-k, pio2_dd[0], ax);
  const dd p = two_prod_as<true>(k, pio2_dd[1]);
  const dd s = two_sum(r1, -p.hi);
  const dd r = fast_two_sum(s.hi, (s.lo - p.lo) - k * pio2_third);
  return {r, static_cast<unsigned>(std::bit_cast<std::uint64_t>(n)) & 3,
          k * 0x1p-130};
}
#endif

// Payne-Hanek above 2^20: r to 2^-101.5 of itself.
reduced reduce_large(double ax) {
  const quarter_turns t = reduce_payne_hanek(ax);
  // 106 of the fraction's bits, exactly, as a double-double
  const double z = exp2i(-53 - t.zeros);
  const dd f = fast_two_sum(
      static_cast<double>(t.frac.hi >> 11) * z,
      static_cast<double>((t.frac.hi & 0x7ff) << 42 | t.frac.lo >> 22) * z *
          0x1p-53);
  dd r = dd_mul(f, {pio2_dd[0], pio2_dd[1]});
  if (t.negative) r = {-r.hi, -r.lo};
  return {r, t.q, 0};
}

// cos r (sine = false) or sin r, |r| <= pi/4 + 2^-31, within cos_or_sin_err
// of the result; negated when negate is. Or, as_is, the cosine of r.hi
// itself, from 0 to the table's end (r.lo = 0, no sign to give).
template <bool fused, bool as_is>
[[gnu::always_inline]] inline dd cos_or_sin(dd r, bool sine, bool negate) {
  // sin is odd, cos even: each sign a product by +-1 made from bits (a
  // select compiles to a branch, and random quadrants mislead it)
  double sign = 1;
  if constexpr (!as_is) {
    const u64 below = std::bit_cast<u64>(r.hi) >> 63;
    sign = signed_one((u64{sine} & below) ^ u64{negate});
    r = {std::fabs(r.hi), r.lo * signed_one(below)};
  }
  // r = i/128 + t; cos and sin of i/128 from the table (Tang 1990); i
  // read from the last bits of 128 r + 1.5 2^52
  const double n = r.hi * 128 + 0x1.8p52;
  const auto i = std::bit_cast<u64>(n) & 511;
  // t = th + tl, th exact, tl = r.lo as it comes (not summed into th: tl
  // counts in the terms where it weighs)
  const double th = r.hi - (n - 0x1.8p52) * 0x1p-7, tl = r.lo;
  const double u = th * th;
  // sin t = th + sl, cos t = 1 + c: Taylor series to t^7 and t^8, tl in
  // the first two terms of each (each 1/n a constant rounded once: a
  // division would cost as much as the rest of the series)
  double sl = th * u * (-1 / 6.0 + u * (1 / 120.0 - u * (1 / 5040.0)));
  double c = u * (-0.5 + u * (1 / 24.0 - u * (1 / 720.0 - u * (1 / 40320.0))));
  if constexpr (!as_is) {
    sl = tl + sl - 0.5 * u * tl;
    c -= th * tl;
  }
  // cos r = C cos t - S sin t; sin r = S cos t + C sin t, C, S and -S
  // from the table's columns (the choice as an index, not as a branch,
  // which quadrants mislead)
  const double(*p)[sincos_rows] = sincos_tab + 2 * std::size_t{sine};
  const double(*q)[sincos_rows] = sincos_tab + 4 - 4 * std::size_t{sine};
  const double ph = p[0][i], pl = p[1][i], qh = q[0][i], ql = q[1][i];
  const dd m = two_prod_as<fused>(qh, th);
  const dd y = two_sum(ph, m.hi);
  // (the terms that wait on the series last, c, the later, at the end)
  const double lo = y.lo + m.lo + pl + ql * th + qh * sl + ph * c;
  // (left as it is: the rounding test takes a sum not renormalised)
  if constexpr (as_is) return {y.hi, lo};
  return {sign * y.hi, sign * lo};
}

}  // namespace

quarter_turns reduce_payne_hanek(double ax) {
  // ax = m 2^-s; ax 2/pi = m (2/pi in 64-bit words) 2^-s (Payne & Hanek
  // 1983): for ax < 2^53 every bit of 2/pi counts, 256 of them give the
  // fraction to 2^-200.
  int e;
  const u64 m = mantissa(ax, e);
  const int s = -e;
  u64 acc[5] = {};  // m times the first four words, little-endian
  for (int j = 3; j >= 0; --j) {
    const u128 p = mul(m, two_over_pi[j]);
    const int at = 3 - j;
    u128 t = add(u128{0, acc[at]}, u128{0, p.lo});
    acc[at] = t.lo;
    t = add(add(u128{0, acc[at + 1]}, u128{0, p.hi}), u128{0, t.hi});
    acc[at + 1] = t.lo;
    if (at + 2 < 5) acc[at + 2] += t.hi;
  }
  // 64 bits of the product from bit i on (the binary point is at 256 + s)
  auto word = [&acc](int i) -> u64 {
    const int w = i >> 6, r = i & 63;
    const u64 lo = w < 5 ? acc[w] : 0, hi = w + 1 < 5 ? acc[w + 1] : 0;
    return r ? lo >> r | hi << (64 - r) : lo;
  };
  quarter_turns t{static_cast<unsigned>(word(256 + s)) & 3, false, 0, {}};
  u64 f[4] = {word(s), word(s + 64), word(s + 128), word(s + 192)};
  if (f[3] >> 63) {  // f >= 1/2: f - 1, the next quarter turn
    t.negative = true;
    t.q = (t.q + 1) & 3;
    u64 borrow = 1;
    for (u64& w : f) {
      w = ~w + borrow;
      borrow = borrow && w == 0;
    }
  }
  int top = 3;
  while (top > 0 && f[top] == 0) --top;
  const int lz = std::countl_zero(f[top]);
  t.zeros = 64 * (3 - top) + lz;
  const u64 a = f[top], b = top > 0 ? f[top - 1] : 0,
            c = top > 1 ? f[top - 2] : 0;
  t.frac = lz ? u128{a << lz | b >> (64 - lz), b << lz | c >> (64 - lz)}
              : u128{a, b};
  return t;
}

bool round_fixed(u128 v, u64 err, int ex, double& y) {
  const u128 lo = sub(v, {0, err}), hi = add(v, {0, err});
  const int n = bitlen(hi);
  if (bitlen(lo) != n) return false;
  const u128 a = round_shift(lo, n - 53, false);
  if (!(a == round_shift(hi, n - 53, false))) return false;
  y = static_cast<double>(a.lo) * exp2i(ex + n - 53);
  return true;
}

namespace {
#if DORVEX_DIRECT_COS
// cos x of x as it is, from the table's rows on to pi + 2^-8, no reduction:
// x = i/128 + t exactly. The row holding pi/2 is left to the reduction:
// the cosine's zero lies in it (HACKING.md, "Error bounds").
constexpr double direct_end = 403.5 / 128;
constexpr double near_pi_2[2] = {200.5 / 128, 201.5 / 128};
static_assert(direct_end * 128 < sincos_rows);
#endif

// Whether the fast path takes |x| as it is.
inline bool direct([[maybe_unused]] double ax) {
#if DORVEX_DIRECT_COS
  return ax < direct_end && (ax < near_pi_2[0] || ax >= near_pi_2[1]);
#else
  return false;
#endif
}

template <bool fused>
[[gnu::always_inline]] inline fast_value direct_cos(double ax) {
  const dd v = cos_or_sin<fused, true>({ax, 0}, false, false);
  return {v, cos_or_sin_err * std::fabs(v.hi)};
}

// The reduction below 2^20, with FMA or without.
template <bool fused>
[[gnu::always_inline]] inline reduced reduce_small(double ax) {
#if DORVEX_FMA_CLONE
  if constexpr (fused) return reduce_fused(ax);
#endif
  return reduce_cody_waite(ax);
}

template <bool fused>
[[gnu::always_inline]] inline fast_value reduced_cos(const reduced& red) {
  // cos(q pi/2 + r) = cos r, -sin r, -cos r, sin r; an error in r moves
  // either by no more
  const dd v =
      cos_or_sin<fused, false>(red.r, red.q & 1, ((red.q + 1) & 2) != 0);
  return {v, cos_or_sin_err * std::fabs(v.hi) + red.err};
}

// The fast path's value, made in place: cr_cos takes it without a call.
template <bool fused>
[[gnu::always_inline]] inline fast_value fast_cos(double x) {
  const double ax = std::fabs(x);
  if (direct(ax)) return direct_cos<fused>(ax);
  return reduced_cos<fused>(ax >= 0x1p20 ? reduce_large(ax)
                                         : reduce_small<fused>(ax));
}

// Arguments from 2^20 on, rare, apart: their reduction's call would give
// every call a stack frame.
[[gnu::noinline, gnu::cold]] double cos_large(double x) {
  const fast_value a = reduced_cos<false>(reduce_large(std::fabs(x)));
  double y;
  if (round_dd(a.v, a.err, y)) return y;
  return past_fast<cos_accurate, cos_last>(x);
}

// The whole function with the fast path compiled for the CPU or not; each
// fast path tests its own rounding (joined first, they met in memory).
template <bool fused>
[[gnu::always_inline]] inline double cos_as(double x) {
  const double ax = std::fabs(x);
  // 1 - x^2/2 rounds to 1 below 2^-27; cos 0 is exactly 1
  if (ax < 0x1p-27) return 1.0;
  double y;
  if (direct(ax)) {
    const fast_value a = direct_cos<fused>(ax);
    if (round_dd(a.v, a.err, y)) return y;
  } else {
    if (ax >= 0x1p20) return cos_large(x);
    const fast_value a = reduced_cos<fused>(reduce_small<fused>(ax));
    if (round_dd(a.v, a.err, y)) return y;
  }
  return past_fast<cos_accurate, cos_last>(x);
}

#if DORVEX_FMA_CLONE
DORVEX_FMA_TARGET fast_value fast_cos_fused(double x) {
  return fast_cos<true>(x);
}
DORVEX_FMA_TARGET double cos_fused(double x) {
  return cos_as<true>(x);
}
// (apart too, so that choosing a copy costs only a test and a jump)
[[gnu::noinline]] double cos_plain(double x) {
  return cos_as<false>(x);
}
#endif
}  // namespace

fast_value cos_fast_value(double x) {
#if DORVEX_FMA_CLONE
  if (cpu_has_fma()) return fast_cos_fused(x);
#endif
  return fast_cos<false>(x);
}

bool cos_fast(double x, double& y) {
  const fast_value a = cos_fast_value(x);
  return round_dd(a.v, a.err, y);
}

// Below 8 units of 2^ex (HACKING.md, "Error bounds"); 256 claimed.
constexpr u64 cos_accurate_err = 256;

fixed_value cos_accurate_value(double x) {
  const quarter_turns t = reduce_payne_hanek(std::fabs(x));
  // r = f pi/2 = rr 2^-(126 + zeros); u = r^2 in units of 2^-128
  const u128 rr = mulhi(t.frac, pio2_q126);
  const int sh = 2 * t.zeros - 4;
  const u128 r2 = mulhi(rr, rr);
  const u128 u = sh < 0 ? shl(r2, -sh) : sh < 128 ? shr(r2, sh) : u128{0, 0};
  // Horner on 1 - u/(a b) (1 - ...): sin r / r over 3!, 5!, ...; cos r
  // over 2!, 4!, ... (fixed point, 1 = 2^127)
  const bool sine = t.q & 1;
  const u128 one = {u64{1} << 63, 0};
  u128 s = one;
  for (u64 n = 18; n >= 1; --n) {
    const u64 d = sine ? (2 * n) * (2 * n + 1) : (2 * n - 1) * (2 * n);
    bool rest;
    s = sub(one, divide(mulhi(u, s), d, rest));
  }
  return {sine ? mulhi(rr, s) : s, cos_accurate_err,
          sine ? -125 - t.zeros : -127,
          (t.q == 1 || t.q == 2) != (sine && t.negative)};
}

bool cos_accurate(double x, double& y) {
  const fixed_value a = cos_accurate_value(x);
  if (!round_fixed(a.v, a.err, a.ex, y)) return false;
  if (a.negative) y = -y;
  return true;
}

double cr_cos(double x) {
#if DORVEX_FMA_CLONE
  return cpu_has_fma() ? cos_fused(x) : cos_plain(x);
#else
  return cos_as<false>(x);
#endif
}
