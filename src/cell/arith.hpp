// What the geometry's arithmetic shares inside src/cell.
#pragma once
#include <cfloat>
#include <cmath>
#include <limits>

// Every intermediate double must be rounded to double, as on x86-64 and
// aarch64; x87 registers keep more bits and change printed digits.
static_assert(FLT_EVAL_METHOD == 0,
              "doubles would carry excess precision here (x87?): build with "
              "SSE2 arithmetic, e.g. -msse2 -mfpmath=sse");

// Every NaN the geometry writes is the positive quiet NaN. Hardware makes
// 0*inf negative on x86-64 and positive on aarch64, and which of two NaN
// operands survives depends on the compiler; the report must not.
inline double canonical_nan(double x) {
  return std::isnan(x) ? std::numeric_limits<double>::quiet_NaN() : x;
}
