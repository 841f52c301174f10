// One whole mode-2 conversion through the C API: a direct cell in, all
// three descriptions out, with the angles back in degrees.
#include <benchmark/benchmark.h>

#include "dorvex.h"
#include "inputs.hpp"

namespace {

void BM_dorvex_convert(benchmark::State& st) {
  const std::vector<cell6>& cs = cells();
  std::size_t i = 0;
  for (auto _ : st) {
    dorvex_result r;
    dorvex_convert(DORVEX_DIRECT, cs[i++ % cs.size()].v, &r);
    benchmark::DoNotOptimize(r);
  }
}

}  // namespace

BENCHMARK(BM_dorvex_convert);

namespace {
void BM_dorvex_convert_worked(benchmark::State& st) {
  const double cell[6] = {5, 6, 7, 80, 85, 95};
  for (auto _ : st) {
    dorvex_result r;
    benchmark::DoNotOptimize(cell);
    dorvex_convert(DORVEX_DIRECT, cell, &r);
    benchmark::DoNotOptimize(r);
  }
}
}  // namespace
BENCHMARK(BM_dorvex_convert_worked);
