// Arbitrary bytes through the line reader and the six-number scan, as the
// dialogue reads them; every number converted is checked against libc and
// printed in both report formats.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "console/chan.hpp"
#include "fuzz_util.hpp"
#include "oracle.hpp"
#include "text/numtext.hpp"

namespace {

bool same(double a, double b) {
  if (std::isnan(a)) return std::isnan(b) && std::signbit(a) == std::signbit(b);
  return a == b && std::signbit(a) == std::signbit(b);
}

// The text is blanks, then an optional '-', then digits, '.', p digits; or
// a signed INF/NAN word. Nothing is written past what format_fixed returns.
void check_fixed(double x, int w, int p) {
  char out[fixed_max + 16 + 8];
  std::memset(out, '#', sizeof out);
  const int n = format_fixed(x, w, p, out);
  check(n >= w && n <= (w > fixed_max ? w : fixed_max));
  for (std::size_t i = static_cast<std::size_t>(n); i < sizeof out; ++i)
    check(out[i] == '#');
  const std::string t(out, static_cast<std::size_t>(n));
  const std::size_t lead = t.find_first_not_of(' ');
  check(lead != std::string::npos);
  const std::string body = t.substr(lead);
  if (!std::isfinite(x)) {
    check(body.size() == 4 && (body[0] == '+' || body[0] == '-'));
    check(body.compare(1, 3, std::isnan(x) ? "NAN" : "INF") == 0);
    return;
  }
  const std::size_t point = body.find('.');
  check(point != std::string::npos &&
        body.size() - point - 1 == static_cast<std::size_t>(p));
  check(body.find_first_not_of("-0123456789.") == std::string::npos);
  if (std::fabs(x) < 1e15 && p == 4) check(t == oracle::four_decimals(x, w));
#ifdef ORACLE_NINE_DECIMALS
  if (std::fabs(x) < 1e10 && p == 9 && w == 12)
    check(t == oracle::nine_decimals(x));
#endif
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  // The first byte picks how the input arrives: one byte a read, or more.
  if (size == 0) return 0;
  text_source m{reinterpret_cast<const char*>(data + 1), size - 1,
                1u + data[0] % 64u};
  inchan in = in_from(text_read, &m);
  char bufr[line_max];
  for (;;) {
    const line_got got = next_line(in, bufr);
    if (got == line_got::end) break;
    const std::size_t len = strnlen(bufr, line_max);
    check(len < line_max);
    check(std::memchr(bufr, '\n', len) == nullptr);
    check(std::memchr(bufr, '\r', len) == nullptr);
    const int_scan i = scan_integer(bufr);
    check(i.next >= bufr && i.next <= bufr + len);
    const char* p = bufr;
    for (int k = 0; k < 6; ++k) {
      const real_scan r = scan_real(p);
      check(r.next >= p && r.next <= bufr + len);
      if (r.got != scan_got::one) break;
      while (is_space(*p)) ++p;
      check(same(r.value, oracle::scanned(std::string(p, r.next))));
      check_fixed(r.value, 12, 9);
      check_fixed(r.value, 8, 4);
      p = r.next;
    }
  }
  return 0;
}
