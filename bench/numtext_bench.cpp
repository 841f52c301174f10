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

namespace {

// Numbers as users type them: cell edges and angles, metric coefficients,
// long digit strings pasted from elsewhere, exponents.
std::vector<std::string> typed_numbers() {
  std::mt19937_64 rng(42);
  std::vector<std::string> v;
  char t[64];
  for (int i = 0; i < 256; ++i) {
    const double u = static_cast<double>(rng() % 1000000) / 1000000.0;
    std::snprintf(t, sizeof t, "%.*f", static_cast<int>(rng() % 4),
                  2 + 120 * u);  // edge
    v.emplace_back(t);
    std::snprintf(t, sizeof t, "%.*f", static_cast<int>(rng() % 3),
                  60 + 60 * u);  // angle
    v.emplace_back(t);
    std::snprintf(t, sizeof t, "%.9f", (u - 0.3) * 0.05);  // coefficient
    v.emplace_back(t);
    std::snprintf(t, sizeof t, "%.6e", (u + 0.01) * 1e-3);  // exponent
    v.emplace_back(t);
  }
  for (int i = 0; i < 16; ++i) {  // long digit strings
    std::snprintf(t, sizeof t, "%.25f", static_cast<double>(rng() % 1000) / 7);
    v.emplace_back(t);
  }
  return v;
}

const std::vector<std::string>& corpus() {
  static const std::vector<std::string> v = typed_numbers();
  return v;
}

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

// The report's values: coefficients near 0.01 and cell values up to 180.
std::vector<double> report_values() {
  std::mt19937_64 rng(7);
  std::vector<double> v;
  for (int i = 0; i < 1024; ++i) {
    const double u = static_cast<double>(rng() >> 11) * 0x1p-53;
    v.push_back(i % 2 ? (u - 0.3) * 0.05 : u * 180);
  }
  return v;
}

const std::vector<double>& values() {
  static const std::vector<double> v = report_values();
  return v;
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

}  // namespace

BENCHMARK(BM_scan_real);
BENCHMARK(BM_strtod);
BENCHMARK(BM_from_chars);
BENCHMARK(BM_format_fixed<12, 9>);
BENCHMARK(BM_snprintf<12, 9>);
BENCHMARK(BM_format_fixed<8, 4>);
BENCHMARK(BM_snprintf<8, 4>);
