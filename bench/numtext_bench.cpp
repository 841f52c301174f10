// Reading and printing numbers: the console's own routines side by side
// with the C and C++ libraries on the same values.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "inputs.hpp"
#include "text/numtext.hpp"

namespace {

// One reader over every typed number.
template <class Read>
void BM_read(benchmark::State& st, Read read) {
  for (auto _ : st)
    for (const std::string& s : corpus()) benchmark::DoNotOptimize(read(s));
  st.SetItemsProcessed(st.iterations() *
                       static_cast<std::int64_t>(corpus().size()));
}

// One printer over every report value.
template <class Print>
void BM_print(benchmark::State& st, Print print) {
  char out[fixed_max + 16];
  for (auto _ : st)
    for (double x : values()) {
      benchmark::DoNotOptimize(print(x, out));
      benchmark::ClobberMemory();
    }
  st.SetItemsProcessed(st.iterations() *
                       static_cast<std::int64_t>(values().size()));
}

double from_chars(const std::string& s) {
  double x = 0;
  std::from_chars(s.data(), s.data() + s.size(), x);
  return x;
}

// libstdc++'s to_chars: the strongest library peer (it pads no field).
template <int P>
char* to_chars(double x, char* out) {
  return std::to_chars(out, out + fixed_max + 16, x, std::chars_format::fixed,
                       P)
      .ptr;
}

}  // namespace

BENCHMARK_CAPTURE(BM_read, scan_real, [](const std::string& s) {
  return scan_real(s.c_str()).value;
});
BENCHMARK_CAPTURE(BM_read, strtod, [](const std::string& s) {
  return std::strtod(s.c_str(), nullptr);
});
BENCHMARK_CAPTURE(BM_read, from_chars, from_chars);
BENCHMARK_CAPTURE(BM_print, format_fixed_12_9,
                  [](double x, char* o) { return format_fixed(x, 12, 9, o); });
BENCHMARK_CAPTURE(BM_print, to_chars_9, to_chars<9>);
BENCHMARK_CAPTURE(BM_print, snprintf_12_9, [](double x, char* o) {
  return std::snprintf(o, fixed_max + 16, "%12.9f", x);
});
BENCHMARK_CAPTURE(BM_print, format_fixed_8_4,
                  [](double x, char* o) { return format_fixed(x, 8, 4, o); });
BENCHMARK_CAPTURE(BM_print, to_chars_4, to_chars<4>);
BENCHMARK_CAPTURE(BM_print, snprintf_8_4, [](double x, char* o) {
  return std::snprintf(o, fixed_max + 16, "%8.4f", x);
});
