// What the geometry's arithmetic shares inside src/cell.
#pragma once
#include <cmath>
#include <limits>

#include "crmath/rounded.hpp"

// Every NaN the geometry writes is the positive quiet NaN. Hardware makes
// 0*inf negative on x86-64 and positive on aarch64, and which of two NaN
// operands survives depends on the compiler; the report must not.
inline double canonical_nan(double x) {
  return std::isnan(x) ? std::numeric_limits<double>::quiet_NaN() : x;
}
