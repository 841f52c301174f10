// The volumes, the conventions, d and 2 theta: see derived.hpp.
#include "cell/derived.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "cell/arith.hpp"

namespace {

constexpr double no_value = std::numeric_limits<double>::quiet_NaN();
// pi / 180 and 180 / pi to double precision: the new values are compared
// with other programs', not with the report's digits.
constexpr double rad_per_degree = 0.017453292519943295;
constexpr double degree_per_rad = 57.29577951308232;

// cos(x pi/180) from the program's cos(x r), r its 1/57.2957795: the two
// angles differ by x (pi/180 - r), a few parts in 10^10, so
// cos(x pi/180) = cos(x r) - sin(x r) x (pi/180 - r), to 10^-19; sin(x r)
// has the sign of the angle's place in its turn; s, sqrt(1 - cos^2(x r))
// (the conversion's own, one square root less).
double precise_cosine(double c, double s, double degrees) {
  constexpr double gap = rad_per_degree - rad_per_deg;  // exact (Sterbenz)
  // (an angle of 0 to 180 degrees, as nearly all are, needs no remainder)
  const bool lower =
      degrees >= 0 && degrees <= 180.0
          ? false
          : (std::fmod(std::fabs(degrees), 360.0) > 180.0) != (degrees < 0);
  if (lower) s = -s;
  return c - rounded(s * rounded(degrees * gap));
}

// The cosines of three angles in degrees (from the conversion's own), and
// the squared volume of the cell with unit edges, w = 1 - cos^2 alpha -
// cos^2 beta - cos^2 gamma + 2 cos alpha cos beta cos gamma (International
// Tables Vol. B, 2008, eq. 1.1.2.1); every product rounded before it is
// added.
double unit_volume_sq(const double* degrees, const conversion& cv,
                      double (&cosine)[3]) {
  for (int i = 0; i < 3; ++i)
    cosine[i] = std::isfinite(cv.cosines[i])
                    ? precise_cosine(cv.cosines[i], cv.sines[i], degrees[i])
                    : cv.cosines[i];
  const double ca = cosine[0], cb = cosine[1], cc = cosine[2];
  return 1.0 - rounded(ca * ca) - rounded(cb * cb) - rounded(cc * cc) +
         rounded(2.0 * ca * cb * cc);
}

// From a direct cell: V = a b c sqrt(w), and the reciprocal metric, the
// inverse of the direct one (eqs. 1.1.3.2-3): A = (b c sin alpha / V)^2,
// D = 2 a^2 b c (cos beta cos gamma - cos alpha) / V^2, and the others
// in turn.
metric from_direct(const double (&cell)[6], const conversion& cv) {
  double c[3];
  const double w = unit_volume_sq(cell + 3, cv, c);
  const double a = cell[0], b = cell[1], cc = cell[2];
  metric m;
  m.volume = w >= 0 ? rounded(rounded(a * b) * cc) * std::sqrt(w) : no_value;
  const double v2 = rounded(m.volume * m.volume);
  const double bc = rounded(b * cc), ac = rounded(a * cc), ab = rounded(a * b);
  m.form[coef::A] = rounded(bc * bc) * (1.0 - rounded(c[0] * c[0])) / v2;
  m.form[coef::B] = rounded(ac * ac) * (1.0 - rounded(c[1] * c[1])) / v2;
  m.form[coef::C] = rounded(ab * ab) * (1.0 - rounded(c[2] * c[2])) / v2;
  m.form[coef::D] =
      2.0 * rounded(a * ab) * cc * (rounded(c[1] * c[2]) - c[0]) / v2;
  m.form[coef::E] =
      2.0 * rounded(ab * b) * cc * (rounded(c[0] * c[2]) - c[1]) / v2;
  m.form[coef::F] =
      2.0 * rounded(ab * cc) * cc * (rounded(c[0] * c[1]) - c[2]) / v2;
  return m;
}

// From a reciprocal cell in the 1/d convention: A = a*^2, D = 2 b* c*
// cos alpha*, ..., V* = a* b* c* sqrt(w*), V = 1 / V*.
metric from_recip(const double (&cell)[6], const conversion& cv) {
  double c[3];
  const double w = unit_volume_sq(cell + 3, cv, c);
  const double a = cell[0], b = cell[1], cc = cell[2];
  metric m;
  m.form[coef::A] = rounded(a * a);
  m.form[coef::B] = rounded(b * b);
  m.form[coef::C] = rounded(cc * cc);
  m.form[coef::D] = 2.0 * rounded(b * cc) * c[0];
  m.form[coef::E] = 2.0 * rounded(a * cc) * c[1];
  m.form[coef::F] = 2.0 * rounded(a * b) * c[2];
  m.volume =
      w >= 0 ? 1.0 / (rounded(rounded(a * b) * cc) * std::sqrt(w)) : no_value;
  return m;
}

// From a metric form: V*^2 is the determinant of the reciprocal metric,
// A B C + D E F / 4 - (A D^2 + B E^2 + C F^2) / 4, and V = 1 / V*.
metric from_form(const double (&f)[6]) {
  metric m;
  for (int i = 0; i < 6; ++i) m.form[i] = f[i];
  const double A = f[coef::A], B = f[coef::B], C = f[coef::C];
  const double D = f[coef::D], E = f[coef::E], F = f[coef::F];
  const double det =
      rounded(rounded(A * B) * C) + rounded(rounded(D * E) * F) / 4.0 -
      (rounded(rounded(A * D) * D) + rounded(rounded(B * E) * E) +
       rounded(rounded(C * F) * F)) /
          4.0;
  m.volume = det > 0 ? 1.0 / std::sqrt(det) : no_value;
  return m;
}

}  // namespace

void recip_from(int c, const double (&in)[6], double (&out)[6]) {
  for (int i = 0; i < 6; ++i)
    out[i] = c == conv::one && i < 3 ? in[i] * two_pi : in[i];
}

void recip_to(int c, const CellParams& recip, double (&out)[6]) {
  for (int i = 0; i < 6; ++i)
    out[i] = c == conv::one && i < 3 ? recip[i] / two_pi : recip[i];
}

metric metric_of(int mode, const double (&given)[6], const conversion& c) {
  metric m;
  if (mode == start::direct) {
    m = from_direct(given, c);
  } else if (mode == start::recip) {
    double one[6];
    recip_to(conv::one, given, one);
    m = from_recip(one, c);
  } else {
    m = from_form(given);
  }
  bool exists = m.volume > 0 && std::isfinite(m.volume);
  for (const double x : m.form) exists = exists && std::isfinite(x);
  if (!exists) {  // (else every value is finite: no NaN to make positive)
    m.volume = no_value;
    std::fill_n(m.form, 6, no_value);
  }
  return m;
}

// V* = 1 / V (the same volume relation, eq. 1.1.2.3)
double recip_volume(int c, double volume) {
  const double scale = c == conv::one ? 1.0 : two_pi * two_pi * two_pi;
  return canonical_nan(scale / volume);
}

// 1/d^2 = A h^2 + B k^2 + C l^2 + D kl + E hl + F hk, the program's form
double d_spacing(const MetricForm& f, int h, int k, int l) {
  const double x = h, y = k, z = l;
  const double q = rounded(f[coef::A] * rounded(x * x)) +
                   rounded(f[coef::B] * rounded(y * y)) +
                   rounded(f[coef::C] * rounded(z * z)) +
                   rounded(f[coef::D] * rounded(y * z)) +
                   rounded(f[coef::E] * rounded(x * z)) +
                   rounded(f[coef::F] * rounded(x * y));
  if (!(q > 0)) return no_value;
  return canonical_nan(1.0 / std::sqrt(q));
}

// theta = asin(lambda / 2d) = 90 degrees - acos(lambda / 2d)
double two_theta(double d, double lambda) {
  const double s = lambda / (2.0 * d);
  if (!(s >= 0 && s <= 1)) return no_value;
  return 2.0 * (90.0 - rounded(cr_acos(s) * degree_per_rad));
}
