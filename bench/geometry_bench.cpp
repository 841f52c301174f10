// One whole mode-2 conversion: direct cell in, all three descriptions out.
#include <benchmark/benchmark.h>

#include "cell/cell.hpp"

namespace {

void BM_mode2_conversion(benchmark::State& st) {
  const CellParams cell = {5, 6, 7, 80, 85, 95};
  for (auto _ : st) {
    CellParams direct, recip;
    MetricForm form;
    for (int i = 0; i < 6; ++i) direct[i] = cell[i];
    benchmark::DoNotOptimize(direct);
    convert_cell(direct, recip, form, true);
    for (int i = 3; i < 6; ++i) {
      direct[i] = cosines_to_angles(direct[i]);
      recip[i] = cosines_to_angles(recip[i]);
    }
    benchmark::DoNotOptimize(direct);
    benchmark::DoNotOptimize(recip);
    benchmark::DoNotOptimize(form);
  }
}

}  // namespace

BENCHMARK(BM_mode2_conversion);
