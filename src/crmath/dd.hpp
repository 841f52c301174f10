// Double-double arithmetic without fused multiply-add, so its bits do not
// depend on the CPU or on the compiler's contraction of a * b + c.
#pragma once
#include <bit>
#include <cstdint>

struct dd {
  double hi, lo;
};

// 2^n as a double, n from -1022 to 1023.
constexpr double exp2i(int n) {
  return std::bit_cast<double>(static_cast<std::uint64_t>(n + 1023) << 52);
}

// v to the nearest integer (ties to even), for |v| < 2^51.
constexpr double nearest_int(double v) {
  return (v + 0x1.8p52) - 0x1.8p52;
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
constexpr dd two_sum(double a, double b) {
  const double s = a + b, bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}

// a + b exactly when |a| >= |b| or a is 0 (Dekker 1971).
constexpr dd fast_two_sum(double a, double b) {
  const double s = a + b;
  return {s, b - (s - a)};
}

// a as two halves of 26 bits each (Veltkamp's splitting, Dekker 1971).
constexpr dd split(double a) {
  const double t = 134217729.0 * a;  // 2^27 + 1
  const double h = t - (t - a);
  return {h, a - h};
}

// a * b exactly (Dekker 1971, mul12), for |a|, |b| below 2^995.
constexpr dd two_prod(double a, double b) {
  const double p = a * b;
  const dd x = split(a), y = split(b);
  return {p, ((x.hi * y.hi - p) + x.hi * y.lo + x.lo * y.hi) + x.lo * y.lo};
}

// (a.hi + a.lo)(b.hi + b.lo), relative error below 2^-102.
constexpr dd dd_mul(dd a, dd b) {
  const dd p = two_prod(a.hi, b.hi);
  return fast_two_sum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

// The nearest double to y.hi + y.lo, when every value within err of it
// rounds to the same double (Ziv's rounding test); err >= 2^-100 |y.hi|.
inline bool round_dd(dd y, double err, double& out) {
  const double u = y.hi + (y.lo + err), v = y.hi + (y.lo - err);
  out = u;
  return u == v;
}
