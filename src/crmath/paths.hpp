// The three ways to a correctly rounded result, tried in this order: each
// returns false when it cannot tell the rounding, and the last one always
// answers. The cosine's take 2^-27 <= |x| < 2^53 (below, cos x rounds to
// 1), the arc cosine's -1 <= x <= 1 (the accurate path's value: |x| < 1).
// Each path is a value with its error bound, then a rounding test; tests
// and benchmarks call them one by one. HACKING.md, "Error bounds", derives
// every bound.
#pragma once
#include "crmath/dd.hpp"
#include "exact/exact.hpp"

// Double-double arithmetic and tables: nearly every argument ends here.
// f(x) lies within err of v.hi + v.lo.
struct fast_value {
  dd v;
  double err;
};
fast_value cos_fast_value(double x);
fast_value acos_fast_value(double x);
bool cos_fast(double x, double& y);
bool acos_fast(double x, double& y);

// 128-bit fixed point, series without tables: |f(x)| lies within err units
// of v, in units of 2^ex; f(x) < 0 when negative.
struct fixed_value {
  u128 v;
  u64 err;
  int ex;
  bool negative;
};
fixed_value cos_accurate_value(double x);
fixed_value acos_accurate_value(double x);
bool cos_accurate(double x, double& y);
bool acos_accurate(double x, double& y);

// The big integer with w fraction bits, w raised in turn (Ziv's strategy):
// |f(x)| lies within err units of v 2^-w; f(x) < 0 when negative.
constexpr int fraction_bits[] = {224, 352, 608};
struct last_value {
  big v;
  u64 err;
  int w;
  bool negative;
};
last_value cos_last_value(double x, int w);
last_value acos_last_value(double x, int w);
double cos_last(double x);
double acos_last(double x);

// The paths past the fast one, apart, so that the fast one keeps no frame.
template <bool (*accurate)(double, double&), double (*last)(double)>
[[gnu::noinline, gnu::cold]] double past_fast(double x) {
  double y;
  return accurate(x, y) ? y : last(x);
}

// For cos: |x| = q pi/2 + f pi/2 with |f| <= 1/2 (Payne-Hanek), f as
// frac 2^-(128 + zeros), frac normalised so that its top bit is set.
struct quarter_turns {
  unsigned q;
  bool negative;
  int zeros;
  u128 frac;
};
quarter_turns reduce_payne_hanek(double ax);

// The double nearest v 2^ex when every value within err of v rounds to it.
bool round_fixed(u128 v, u64 err, int ex, double& y);
