#include <cmath>
#include <limits>

#include "cell/arith.hpp"
#include "cell/cell.hpp"
#include "crmath/crmath.hpp"

namespace {

domain_sink sink = nullptr;
void* sink_ctx = nullptr;

// One report per failing call, framed by line breaks, in one piece.
double domain_error(const char (&line)[21]) {
  if (sink) sink(sink_ctx, line, sizeof line - 1);
  return std::numeric_limits<double>::quiet_NaN();  // positive
}

}  // namespace

void set_domain_sink(domain_sink fn, void* ctx) {
  sink = fn;
  sink_ctx = ctx;
}

double dsqrt(double x) {
  if (x == 0) return x;  // keeps the sign of zero, no report
  if (std::signbit(x)) return domain_error("\nsqrt: DOMAIN error\n");
  return std::sqrt(x);
}

double dcos(double x) {
  // Beyond 2^53 no fraction of a turn is left: NaN, silently.
  if (!(std::fabs(x) < 9007199254740992.0))
    return std::numeric_limits<double>::quiet_NaN();
  return cr_cos(x);
}

double dacos(double x) {
  // Not clamped: a cosine just past 1 is reported, as users expect to see.
  if (!(std::fabs(x) <= 1)) return domain_error("\nacos: DOMAIN error\n");
  return cr_acos(x);
}
