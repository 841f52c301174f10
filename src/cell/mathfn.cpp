#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>

#include "cell/cell.hpp"

namespace {

void to_stderr(void*, const char* text, std::size_t len) {
  while (len > 0) {
    ssize_t n = ::write(2, text, len);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // nowhere left to report to
    text += n;
    len -= static_cast<std::size_t>(n);
  }
}

domain_sink sink = to_stderr;
void* sink_ctx = nullptr;

// One report per failing call, framed by line breaks, written at once.
double domain_error(const char* name) {
  char line[32] = "\n";
  std::strcat(line, name);
  std::strcat(line, ": DOMAIN error\n");
  sink(sink_ctx, line, std::strlen(line));
  return std::numeric_limits<double>::quiet_NaN();  // positive
}

}  // namespace

void set_domain_sink(domain_sink fn, void* ctx) {
  sink = fn ? fn : to_stderr;
  sink_ctx = fn ? ctx : nullptr;
}

double dsqrt(double x) {
  if (x == 0) return x;  // keeps the sign of zero, no report
  if (std::signbit(x)) return domain_error("sqrt");
  return std::sqrt(x);
}

double dcos(double x) {
  // Beyond 2^53 no fraction of a turn is left: NaN, silently.
  if (!(std::fabs(x) < 9007199254740992.0))
    return std::numeric_limits<double>::quiet_NaN();
  return std::cos(x);
}

double dacos(double x) {
  // Not clamped: a cosine just past 1 is reported, as users expect to see.
  if (!(std::fabs(x) <= 1)) return domain_error("acos");
  return std::acos(x);
}
