// The peers dorvex is measured against, as functions of the same
// arguments: CORE-MATH's cos and acos (baseline and FMA builds), and one
// cell through gemmi or through the textbook formulas with glibc.
#pragma once
#include <cmath>
#include <gemmi/unitcell.hpp>

#ifdef DORVEX_CORE_MATH
extern "C" {
double coremath_cos_base(double);
double coremath_acos_base(double);
double coremath_cos_v3(double);
double coremath_acos_v3(double);
}
#endif

namespace {

// gemmi's cell and its reciprocal (6 cos and 6 sin, 3 acos, two pairs of
// matrices, no 2 pi); what a caller of gemmi would read, summed.
[[maybe_unused]] double gemmi_cell(const double (&v)[6]) {
  const gemmi::UnitCell u(v[0], v[1], v[2], v[3], v[4], v[5]);
  const gemmi::UnitCell r = u.reciprocal();
  return r.a + r.b + r.c + r.alpha + r.beta + r.gamma + u.volume;
}

// The textbook: 3 cos, the volume, the reciprocal cell (Giacovazzo,
// Fundamentals of Crystallography, eqs. 2.14-2.16), 3 acos, with glibc.
[[maybe_unused]] double textbook_cell(const double (&v)[6]) {
  constexpr double rad = 0.017453292519943295;
  const double ca = std::cos(v[3] * rad), cb = std::cos(v[4] * rad),
               cc = std::cos(v[5] * rad);
  const double sa = std::sqrt(1 - ca * ca), sb = std::sqrt(1 - cb * cb),
               sc = std::sqrt(1 - cc * cc);
  const double vol =
      v[0] * v[1] * v[2] *
      std::sqrt(1 + 2 * ca * cb * cc - ca * ca - cb * cb - cc * cc);
  const double ar = v[1] * v[2] * sa / vol, br = v[0] * v[2] * sb / vol,
               cr = v[0] * v[1] * sc / vol;
  const double al = std::acos((cb * cc - ca) / (sb * sc)),
               be = std::acos((cc * ca - cb) / (sc * sa)),
               ga = std::acos((ca * cb - cc) / (sa * sb));
  return ar + br + cr + (al + be + ga) / rad + vol;
}

}  // namespace
