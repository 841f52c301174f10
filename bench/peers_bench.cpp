// dorvex against its peers in one run: cos and acos against glibc and
// CORE-MATH (baseline and FMA builds), each as throughput (independent
// calls) and as latency (each call waits on the last one's result); one
// conversion against gemmi and the textbook formulas with glibc.
#include <benchmark/benchmark.h>

#include "crmath/crmath.hpp"
#include "dorvex.h"
#include "inputs.hpp"
#include "peers.hpp"

namespace {

template <double (*f)(double), bool acos>
void trig(benchmark::State& st) {
  const std::vector<double>& xs = acos ? cosines() : angles();
  std::size_t i = 0;
  for (auto _ : st) {
    double y = f(xs[i++ % xs.size()]);
    benchmark::DoNotOptimize(y);
  }
}

// The argument waits on the last result: y * 0 is 0 for every finite y,
// but no compiler may assume so.
template <double (*f)(double), bool acos>
void trig_latency(benchmark::State& st) {
  const std::vector<double>& xs = acos ? cosines() : angles();
  std::size_t i = 0;
  double y = 0;
  for (auto _ : st) y = f(xs[i++ % xs.size()] + y * 0.0);
  benchmark::DoNotOptimize(y);
}

double glibc_cos(double x) {
  return std::cos(x);
}
double glibc_acos(double x) {
  return std::acos(x);
}

#define TRIG(f, acos)                          \
  BENCHMARK_TEMPLATE(trig, f, acos)->Name(#f); \
  BENCHMARK_TEMPLATE(trig_latency, f, acos)->Name(#f "/latency")
TRIG(cr_cos, false);
TRIG(glibc_cos, false);
TRIG(cr_acos, true);
TRIG(glibc_acos, true);
#ifdef DORVEX_CORE_MATH
TRIG(coremath_cos_base, false);
TRIG(coremath_cos_v3, false);
TRIG(coremath_acos_base, true);
TRIG(coremath_acos_v3, true);
#endif

double dorvex_cell(const double (&v)[6]) {
  dorvex_result r;
  dorvex_convert(DORVEX_DIRECT, v, &r);
  return r.recip[0] + r.recip[5] + r.volume;
}

// 0.3's struct: the three descriptions and the domain errors alone
double dorvex_cell_0_3(const double (&v)[6]) {
  dorvex_result r;
  dorvex_convert_sized(DORVEX_DIRECT, DORVEX_2PI, v, nullptr, &r, 304);
  return r.recip[0] + r.recip[5];
}

template <double (*f)(const double (&)[6])>
void cell(benchmark::State& st) {
  const std::vector<cell6>& cs = cells();
  std::size_t i = 0;
  for (auto _ : st) benchmark::DoNotOptimize(f(cs[i++ % cs.size()].v));
}
BENCHMARK_TEMPLATE(cell, dorvex_cell)->Name("convert/dorvex_convert");
BENCHMARK_TEMPLATE(cell, dorvex_cell_0_3)
    ->Name("convert/dorvex_convert_0_3_struct");
BENCHMARK_TEMPLATE(cell, gemmi_cell)->Name("convert/gemmi_UnitCell_reciprocal");
BENCHMARK_TEMPLATE(cell, textbook_cell)->Name("convert/textbook_glibc");

}  // namespace
