// Reading and printing numbers: the console's own routines side by side
// with the C and C++ libraries on the same values.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "dorvex/numtext.hpp"
#include "inputs.hpp"

namespace {

void BM_scan_real(benchmark::State& st) {
  for (auto _ : st)
    for (const std::string& s : corpus())
      benchmark::DoNotOptimize(scan_real(s.c_str()).value);
  st.SetItemsProcessed(st.iterations() *
                       static_cast<std::int64_t>(corpus().size()));
}

void BM_strtod(benchmark::State& st) {
  for (auto _ : st)
    for (const std::string& s : corpus())
      benchmark::DoNotOptimize(std::strtod(s.c_str(), nullptr));
  st.SetItemsProcessed(st.iterations() *
                       static_cast<std::int64_t>(corpus().size()));
}

void BM_from_chars(benchmark::State& st) {
  for (auto _ : st)
    for (const std::string& s : corpus()) {
      double x;
      std::from_chars(s.data(), s.data() + s.size(), x);
      benchmark::DoNotOptimize(x);
    }
  st.SetItemsProcessed(st.iterations() *
                       static_cast<std::int64_t>(corpus().size()));
}

template <int W, int P>
void BM_format_fixed(benchmark::State& st) {
  char out[fixed_max + 16];
  for (auto _ : st)
    for (double x : values()) {
      benchmark::DoNotOptimize(format_fixed(x, W, P, out));
      benchmark::ClobberMemory();
    }
  st.SetItemsProcessed(st.iterations() *
                       static_cast<std::int64_t>(values().size()));
}

template <int W, int P>
void BM_snprintf(benchmark::State& st) {
  char out[fixed_max + 16];
  for (auto _ : st)
    for (double x : values()) {
      benchmark::DoNotOptimize(
          std::snprintf(out, sizeof out, "%*.*f", W, P, x));
      benchmark::ClobberMemory();
    }
  st.SetItemsProcessed(st.iterations() *
                       static_cast<std::int64_t>(values().size()));
}

// libstdc++'s to_chars: the strongest library peer (no field padding).
template <int P>
void BM_to_chars(benchmark::State& st) {
  char out[fixed_max + 16];
  for (auto _ : st)
    for (double x : values()) {
      benchmark::DoNotOptimize(
          std::to_chars(out, out + sizeof out, x, std::chars_format::fixed, P)
              .ptr);
      benchmark::ClobberMemory();
    }
  st.SetItemsProcessed(st.iterations() *
                       static_cast<std::int64_t>(values().size()));
}

}  // namespace

BENCHMARK(BM_scan_real);
BENCHMARK(BM_strtod);
BENCHMARK(BM_from_chars);
BENCHMARK(BM_format_fixed<12, 9>);
BENCHMARK(BM_to_chars<9>);
BENCHMARK(BM_snprintf<12, 9>);
BENCHMARK(BM_format_fixed<8, 4>);
BENCHMARK(BM_to_chars<4>);
BENCHMARK(BM_snprintf<8, 4>);
