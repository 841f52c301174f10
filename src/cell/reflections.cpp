// Reflections to a resolution, and the characteristic X-ray lines.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "cell/derived.hpp"

namespace {

// Friedel's law: h k l and -h -k -l have the same d; the one kept has its
// first index that is not 0 positive.
bool kept(int h, int k, int l) {
  return h > 0 || (h == 0 && (k > 0 || (k == 0 && l > 0)));
}

// By d descending, then h, k, l ascending: a total order, so the list is
// the same on every platform whatever the sort does with equal keys.
bool before(const reflection& x, const reflection& y) {
  if (x.d != y.d) return x.d > y.d;
  if (x.h != y.h) return x.h < y.h;
  if (x.k != y.k) return x.k < y.k;
  return x.l < y.l;
}

// A reflection's s.u., where derivatives and the given s.u. are had.
reflection with_su(reflection r, double lambda, const dual (*form)[6],
                   const double (*su)[6]) {
  if (!form || !su) return r;
  dual d, angle;
  reflection_duals(*form, r.h, r.k, r.l, lambda, d, angle);
  r.d_su = su_of(d, *su);
  r.two_theta_su = std::isnan(r.two_theta) ? r.two_theta : su_of(angle, *su);
  return r;
}

}  // namespace

long reflections(const MetricForm& form, const CellParams& direct, double d_min,
                 double lambda, const dual (*form_duals)[6],
                 const double (*su)[6], reflection* out, std::size_t cap) {
  // |h| = |r* . a| <= |r*| |a| = a / d, as for k and l (1/d convention);
  // a margin of a part in 10^6 covers the form's single-precision digits
  double limit[3];
  double search = 1;
  for (int i = 0; i < 3; ++i) {
    limit[i] = std::floor(direct[slot::a + i] / d_min * (1 + 1e-6)) + 1;
    search *= 2 * limit[i] + 1;
    if (!(limit[i] >= 1) || !(search <= max_search)) return -1;
  }
  const int hm = static_cast<int>(limit[0]), km = static_cast<int>(limit[1]),
            lm = static_cast<int>(limit[2]);
  long n = 0;
  for (int h = 0; h <= hm; ++h)
    for (int k = -km; k <= km; ++k)
      for (int l = -lm; l <= lm; ++l) {
        if (!kept(h, k, l)) continue;
        const double d = d_spacing(form, h, k, l);
        if (!(d >= d_min)) continue;
        if (static_cast<std::size_t>(n) < cap)
          out[n] = with_su({h, k, l, d, two_theta(d, lambda), 0, 0}, lambda,
                           form_duals, su);
        ++n;
      }
  // (a heap sort: no memory of its own, and a fraction of std::sort's code
  // in the WebAssembly module)
  if (static_cast<std::size_t>(n) <= cap) {
    std::make_heap(out, out + n, before);
    std::sort_heap(out, out + n, before);
  }
  return n;
}

// J. A. Bearden (1967), X-ray wavelengths, Rev. Mod. Phys. 39, 78-124,
// Table V, in Å* (within 2.5 10^-5 of Å: International Tables Vol. C,
// 2006, Table 4.2.2.6); K alpha is the weighted mean (2 K alpha1 +
// K alpha2) / 3 of the two lines' 2:1 intensities (B. D. Cullity,
// Elements of X-ray Diffraction).
namespace {

constexpr xray_line xray_lines[] = {
    {"CuKa1", 1.540562}, {"CuKa2", 1.544390},  {"CuKa", 1.541838},
    {"CuKb1", 1.392218}, {"MoKa1", 0.709300},  {"MoKa2", 0.713590},
    {"MoKa", 0.710730},  {"CoKa1", 1.788965},  {"CoKa2", 1.792850},
    {"CoKa", 1.790260},  {"CrKa1", 2.289700},  {"CrKa2", 2.293606},
    {"CrKa", 2.291002},  {"FeKa1", 1.936042},  {"FeKa2", 1.939980},
    {"FeKa", 1.937355},  {"AgKa1", 0.5594075}, {"AgKa2", 0.563798},
    {"AgKa", 0.560871},
};
constexpr int n_xray_lines = sizeof xray_lines / sizeof xray_lines[0];

}  // namespace

const xray_line* xray_line_at(int index) {
  return index >= 0 && index < n_xray_lines ? &xray_lines[index] : nullptr;
}

double line_wavelength(const char* name) {
  for (const xray_line& x : xray_lines)
    if (std::strcmp(x.name, name) == 0) return x.lambda;
  return std::numeric_limits<double>::quiet_NaN();
}
