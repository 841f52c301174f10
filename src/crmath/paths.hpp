// The three ways to a correctly rounded result, tried in this order: each
// returns false when it cannot tell the rounding, and the last one always
// answers. Tests and benchmarks call them one by one. The cosine's take
// 2^-27 <= |x| < 2^53 (below, cos x rounds to 1), the arc cosine's
// -1 <= x <= 1.
#pragma once
#include "exact/exact.hpp"

// Double-double arithmetic and tables: nearly every argument ends here.
bool cos_fast(double x, double& y);
bool acos_fast(double x, double& y);
// 128-bit fixed point, series without tables.
bool cos_accurate(double x, double& y);
bool acos_accurate(double x, double& y);
// The big integer at 128, 256 and 512 bits and more (Ziv's strategy).
double cos_last(double x);
double acos_last(double x);

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
