// One routine over N inputs, nothing else: callgrind's count for N inputs
// less its count for none, divided by N, is the routine's instructions per
// call (bench/instructions.sh).
//   calls WHAT N   WHAT: format_fixed9 to_chars9 snprintf9 format_fixed4
//                        to_chars4 snprintf4 scan_real from_chars strtod
//                        cr_cos cos cos_accurate cos_last
//                        coremath_cos_base coremath_cos_v3
//                        cr_acos acos acos_accurate acos_last
//                        coremath_acos_base coremath_acos_v3
//                        dorvex_convert dorvex_convert_0_3 gemmi textbook
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "crmath/crmath.hpp"
#include "crmath/paths.hpp"
#include "dorvex.h"
#include "inputs.hpp"
#include "peers.hpp"
#include "text/numtext.hpp"

namespace {

char out[fixed_max + 16];

// fn over n items, cycling through them; the results summed stay alive.
template <class Item, class Fn>
auto over(long n, const std::vector<Item>& items, Fn fn) {
  decltype(fn(items[0])) total{};
  for (long i = 0; i < n; ++i)
    total += fn(items[static_cast<std::size_t>(i) % items.size()]);
  return total;
}

long to_chars_len(double x, int p) {
  return std::to_chars(out, out + sizeof out, x, std::chars_format::fixed, p)
             .ptr -
         out;
}

// A path that may not answer, as a function of one argument.
template <bool (*path)(double, double&)>
double answer_or_zero(double x) {
  double y = 0;
  return path(x, y) ? y : 0;
}

// cos and acos: dorvex's, glibc's, and dorvex's slower paths alone.
struct trig {
  const char* name;
  const std::vector<double>& (*inputs)();
  double (*fn)(double);
};
const trig trigs[] = {
    {"cr_cos", angles, cr_cos},
    {"cos", angles, [](double x) { return std::cos(x); }},
    {"cos_accurate", angles, answer_or_zero<cos_accurate>},
    {"cos_last", angles, cos_last},
    {"cr_acos", cosines, cr_acos},
    {"acos", cosines, [](double x) { return std::acos(x); }},
    {"acos_accurate", cosines, answer_or_zero<acos_accurate>},
    {"acos_last", cosines, acos_last},
#ifdef DORVEX_CORE_MATH
    {"coremath_cos_base", angles, coremath_cos_base},
    {"coremath_cos_v3", angles, coremath_cos_v3},
    {"coremath_acos_base", cosines, coremath_acos_base},
    {"coremath_acos_v3", cosines, coremath_acos_v3},
#endif
};
const trig* find_trig(const std::string& name) {
  for (const trig& t : trigs)
    if (name == t.name) return &t;
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const std::string what = argv[1];
  const long n = std::atol(argv[2]);
  values();  // every input set made before counting starts to matter
  corpus();
  angles();
  cosines();
  cells();
  long len = 0;
  double sum = 0;
  if (what == "format_fixed9")
    len =
        over(n, values(), [](double x) { return format_fixed(x, 12, 9, out); });
  else if (what == "format_fixed4")
    len =
        over(n, values(), [](double x) { return format_fixed(x, 8, 4, out); });
  else if (what == "to_chars9")
    len = over(n, values(), [](double x) { return to_chars_len(x, 9); });
  else if (what == "to_chars4")
    len = over(n, values(), [](double x) { return to_chars_len(x, 4); });
  else if (what == "snprintf9")
    len = over(n, values(), [](double x) {
      return std::snprintf(out, sizeof out, "%12.9f", x);
    });
  else if (what == "snprintf4")
    len = over(n, values(), [](double x) {
      return std::snprintf(out, sizeof out, "%8.4f", x);
    });
  else if (what == "scan_real")
    sum = over(n, corpus(),
               [](const std::string& t) { return scan_real(t.c_str()).value; });
  else if (what == "from_chars")
    sum = over(n, corpus(), [](const std::string& t) {
      double v = 0;
      std::from_chars(t.data(), t.data() + t.size(), v);
      return v;
    });
  else if (what == "strtod")
    sum = over(n, corpus(), [](const std::string& t) {
      return std::strtod(t.c_str(), nullptr);
    });
  else if (what == "dorvex_convert")
    sum = over(n, cells(), [](const cell6& c) {
      dorvex_result r;
      dorvex_convert(DORVEX_DIRECT, c.v, &r);
      return r.form[0] + r.recip[5] + r.volume;
    });
  else if (what == "dorvex_convert_0_3")  // the three descriptions alone
    sum = over(n, cells(), [](const cell6& c) {
      dorvex_result r;
      dorvex_convert_sized(DORVEX_DIRECT, DORVEX_2PI, c.v, nullptr, &r, 304);
      return r.form[0] + r.recip[5];
    });
  else if (what == "gemmi")
    sum = over(n, cells(), [](const cell6& c) { return gemmi_cell(c.v); });
  else if (what == "textbook")
    sum = over(n, cells(), [](const cell6& c) { return textbook_cell(c.v); });
  else if (const trig* t = find_trig(what))
    sum = over(n, t->inputs(), t->fn);
  else
    return 2;
  std::printf("%ld %g\n", len, sum);
  return 0;
}
