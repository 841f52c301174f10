// Double-double arithmetic. Every error-free step takes its operands as
// rounded() doubles, so no contraction of a * b + c can change a bit, and
// the results are the same with and without fused multiply-add.
#pragma once
#include <bit>
#include <cmath>
#include <cstdint>

#include "crmath/rounded.hpp"

struct dd {
  double hi, lo;
};

// 2^n as a double, n from -1022 to 1023.
constexpr double exp2i(int n) {
  return std::bit_cast<double>(static_cast<std::uint64_t>(n + 1023) << 52);
}

// -1 for negative = 1, else 1: from bits, with no branch to mislead.
inline double signed_one(std::uint64_t negative) {
  return std::bit_cast<double>(negative << 63 | 0x3ff0000000000000);
}

// x = m 2^e with m an integer below 2^53, for finite x >= 0.
inline std::uint64_t mantissa(double x, int& e) {
  const auto b = std::bit_cast<std::uint64_t>(x);
  const int be = static_cast<int>(b >> 52);
  const std::uint64_t m = b & ((std::uint64_t{1} << 52) - 1);
  e = (be ? be : 1) - 1075;
  return be ? m | std::uint64_t{1} << 52 : m;
}

// a + b exactly (Knuth, TAOCP vol. 2, 4.2.2, Theorem B).
inline dd two_sum(double a, double b) {
  a = rounded(a);
  b = rounded(b);
  const double s = a + b, bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}

// a + b exactly when |a| >= |b| or a is 0 (Dekker 1971).
inline dd fast_two_sum(double a, double b) {
  a = rounded(a);
  b = rounded(b);
  const double s = a + b;
  return {s, b - (s - a)};
}

// a * b exactly (Dekker 1971, mul12), for |a|, |b| below 2^995 and a
// product whose low part does not underflow (|a b| above 2^-969).
inline dd two_prod(double a, double b) {
  const double p = rounded(a * b);
#if defined(__FP_FAST_FMA) || defined(__FMA__) || defined(__ARM_FEATURE_FMA)
  return {p, std::fma(a, b, -p)};  // one instruction, exact
#else
  // a and b as two halves of 26 bits each (Veltkamp's splitting); the
  // products of halves are exact
  const double ta = rounded(134217729.0 * a), tb = rounded(134217729.0 * b);
  const double ah = ta - (ta - a), al = a - ah;
  const double bh = tb - (tb - b), bl = b - bh;
  return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
#endif
}

// (a.hi + a.lo)(b.hi + b.lo), relative error below 2^-102.
inline dd dd_mul(dd a, dd b) {
  const dd p = two_prod(a.hi, b.hi);
  return fast_two_sum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

// The nearest double to y.hi + y.lo, when every value within err of it
// rounds to the same double (Ziv's rounding test). y need not be
// renormalised: the test is exact when err exceeds the true error by the
// rounding of y.lo +- err, u (|y.lo| + err) (2^-69 |y.hi| for the fast
// paths, whose |y.lo| stays below 2^-16 |y.hi|), which then cannot move
// either sum across a rounding boundary unnoticed.
inline bool round_dd(dd y, double err, double& out) {
  const double hi = rounded(y.hi), lo = rounded(y.lo), e = rounded(err);
  const double u = hi + (lo + e), v = hi + (lo - e);
  out = u;
  return u == v;
}
