// What the geometry's arithmetic shares inside src/cell: the positive NaN,
// and the square root, cosine and arc cosine with the program's domain
// rules, inline because every step of a conversion calls them.
#pragma once
#include <cmath>
#include <limits>

#include "cell/cell.hpp"
#include "crmath/crmath.hpp"
#include "crmath/rounded.hpp"

// Every NaN the geometry writes is the positive quiet NaN. Hardware makes
// 0*inf negative on x86-64 and positive on aarch64, and which of two NaN
// operands survives depends on the compiler; the report must not.
inline double canonical_nan(double x) {
  return std::isnan(x) ? std::numeric_limits<double>::quiet_NaN() : x;
}

// Each call of sqrt or acos is counted in its step, so that a failure can
// say which call it was; a failure is logged once, at the moment it fails.
inline void note(domain_log& log, domain_fn fn, bool fails) {
  const unsigned char call = log.calls[static_cast<int>(fn)]++;
  if (fails && log.n < max_domain_errors)
    log.at[log.n++] = {fn, log.step, call};
}

// A domain error (any argument with its sign bit set but -0, which stays
// -0) is logged and gives a positive NaN.
inline double dsqrt(double x, domain_log& log) {
  const bool fails = x != 0 && std::signbit(x);
  note(log, domain_fn::sqrt, fails);
  return fails ? std::numeric_limits<double>::quiet_NaN() : std::sqrt(x);
}

// Beyond 2^53 no fraction of a turn is left: NaN, silently.
inline double dcos(double x) {
  if (!(std::fabs(x) < 9007199254740992.0))
    return std::numeric_limits<double>::quiet_NaN();
  return cr_cos(x);
}

// Not clamped: a cosine just past 1 is reported, as users expect to see.
inline double dacos(double x, domain_log& log) {
  const bool fails = !(std::fabs(x) <= 1);
  note(log, domain_fn::acos, fails);
  return fails ? std::numeric_limits<double>::quiet_NaN() : cr_acos(x);
}
