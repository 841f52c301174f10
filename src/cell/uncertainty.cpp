// First-order propagation of standard uncertainties: see uncertainty.hpp.
#include "cell/uncertainty.hpp"

#include <cmath>

#include "cell/arith.hpp"
#include "cell/derived.hpp"

namespace {

constexpr double rad_per_degree = 0.017453292519943295;  // pi/180
constexpr double degree_per_rad = 57.29577951308232;     // 180/pi

dual constant(double v) {
  return {v, {}};
}
dual given(double v, int i) {
  dual x = constant(v);
  x.g[i] = 1;
  return x;
}
dual add(const dual& x, const dual& y) {
  dual z{x.v + y.v, {}};
  for (int i = 0; i < 6; ++i) z.g[i] = x.g[i] + y.g[i];
  return z;
}
dual sub(const dual& x, const dual& y) {
  dual z{x.v - y.v, {}};
  for (int i = 0; i < 6; ++i) z.g[i] = x.g[i] - y.g[i];
  return z;
}
// (x y)' = x' y + x y'
dual mul(const dual& x, const dual& y) {
  dual z{rounded(x.v * y.v), {}};
  for (int i = 0; i < 6; ++i)
    z.g[i] = rounded(x.g[i] * y.v) + rounded(x.v * y.g[i]);
  return z;
}
dual scale(const dual& x, double k) {
  dual z{rounded(x.v * k), {}};
  for (int i = 0; i < 6; ++i) z.g[i] = rounded(x.g[i] * k);
  return z;
}
// (x / y)' = (x' - (x / y) y') / y
dual dvd(const dual& x, const dual& y) {
  dual z{x.v / y.v, {}};
  for (int i = 0; i < 6; ++i) z.g[i] = (x.g[i] - rounded(z.v * y.g[i])) / y.v;
  return z;
}
// sqrt(x)' = x' / (2 sqrt(x))
dual root(const dual& x) {
  dual z{x.v >= 0 ? std::sqrt(x.v) : std::nan(""), {}};
  for (int i = 0; i < 6; ++i) z.g[i] = x.g[i] / (2.0 * z.v);
  return z;
}
// cos(x degrees)' = -sin(x) pi/180 x'; only |sin| is needed: an angle
// enters through its cosine alone, so a sign flips all its derivatives
// together and leaves every sum of squares as it was.
dual cos_degrees(const dual& x) {
  const double c = dcos(x.v * rad_per_degree);
  const double s = std::sqrt(std::fmax(0.0, 1.0 - rounded(c * c)));
  dual z{c, {}};
  const double slope = rounded(s * rad_per_degree);
  for (int i = 0; i < 6; ++i) z.g[i] = -rounded(slope * x.g[i]);
  return z;
}
// acos(x)' in degrees = -x' / sqrt(1 - x^2) 180/pi
dual acos_degrees(const dual& x) {
  const bool in = std::fabs(x.v) <= 1;
  dual z{in ? rounded(cr_acos(x.v) * degree_per_rad) : std::nan(""), {}};
  const double s = std::sqrt(std::fmax(0.0, 1.0 - rounded(x.v * x.v)));
  for (int i = 0; i < 6; ++i) z.g[i] = -(x.g[i] * degree_per_rad) / s;
  return z;
}

// Edges and cosines of a cell.
struct cell {
  dual edge[3], cosine[3];
};

// The reciprocal of a cell, with 1 in place of 2 pi, and the volume of the
// cell given (International Tables Vol. B, 2008, eqs. 1.1.2.1, 1.1.3.1):
// V = a b c sqrt(w); a* = b c sin alpha / V; cos alpha* = (cos beta
// cos gamma - cos alpha) / (sin beta sin gamma).
cell reciprocal(const cell& x, dual& volume) {
  const dual one = constant(1);
  const dual(&c)[3] = x.cosine;
  dual w = sub(one, mul(c[0], c[0]));
  w = sub(sub(w, mul(c[1], c[1])), mul(c[2], c[2]));
  w = add(w, scale(mul(mul(c[0], c[1]), c[2]), 2));
  volume = mul(mul(mul(x.edge[0], x.edge[1]), x.edge[2]), root(w));
  dual sine[3];
  for (int i = 0; i < 3; ++i) sine[i] = root(sub(one, mul(c[i], c[i])));
  cell r;
  for (int i = 0; i < 3; ++i) {
    const int j = (i + 1) % 3, k = (i + 2) % 3;
    r.edge[i] = dvd(mul(mul(x.edge[j], x.edge[k]), sine[i]), volume);
    r.cosine[i] = dvd(sub(mul(c[j], c[k]), c[i]), mul(sine[j], sine[k]));
  }
  return r;
}

}  // namespace

propagation propagate(int mode, int c, const double (&in)[6]) {
  cell direct, recip;  // recip with 1 for 2 pi
  dual v_direct, v_recip;
  if (mode == start::form) {
    dual f[6];
    for (int i = 0; i < 6; ++i) f[i] = given(in[i], i);
    for (int i = 0; i < 3; ++i) recip.edge[i] = root(f[i]);
    // D = 2 b* c* cos alpha*, E = 2 a* c* cos beta*, F = 2 a* b* cos gamma*
    for (int i = 0; i < 3; ++i) {
      const int j = (i + 1) % 3, k = (i + 2) % 3;
      recip.cosine[i] =
          dvd(f[3 + i], scale(mul(recip.edge[j], recip.edge[k]), 2));
    }
    direct = reciprocal(recip, v_recip);
    v_direct = dvd(constant(1), v_recip);
  } else {
    cell& x = mode == start::direct ? direct : recip;
    const double unit = mode == start::recip && c == conv::two_pi ? two_pi : 1;
    for (int i = 0; i < 3; ++i) {
      x.edge[i] = scale(given(in[i], i), 1 / unit);
      x.cosine[i] = cos_degrees(given(in[3 + i], 3 + i));
    }
    if (mode == start::direct) {
      recip = reciprocal(direct, v_direct);
    } else {
      direct = reciprocal(recip, v_recip);
      v_direct = dvd(constant(1), v_recip);
    }
  }
  propagation p;
  // A = a*^2, ..., D = 2 b* c* cos alpha*, ...
  for (int i = 0; i < 3; ++i) {
    const int j = (i + 1) % 3, k = (i + 2) % 3;
    p.form[i] = mul(recip.edge[i], recip.edge[i]);
    p.form[3 + i] =
        scale(mul(mul(recip.edge[j], recip.edge[k]), recip.cosine[i]), 2);
    p.direct[i] = direct.edge[i];
    p.direct[3 + i] = acos_degrees(direct.cosine[i]);
    p.recip[i] = scale(recip.edge[i], c == conv::two_pi ? two_pi : 1);
    p.recip[3 + i] = acos_degrees(recip.cosine[i]);
  }
  p.volume = v_direct;
  p.recip_volume = scale(dvd(constant(1), v_direct),
                         c == conv::two_pi ? two_pi * two_pi * two_pi : 1);
  return p;
}

double su_of(const dual& x, const double (&su)[6]) {
  double sum = 0;
  for (int i = 0; i < 6; ++i) {
    const double t = rounded(x.g[i] * su[i]);
    sum += rounded(t * t);
  }
  // (the positive NaN, whatever sign the hardware gave a NaN on its way)
  return canonical_nan(std::sqrt(sum));
}

// 1/d^2 = A h^2 + B k^2 + C l^2 + D kl + E hl + F hk; theta =
// asin(lambda / 2d) = 90 degrees - acos(lambda / 2d)
void reflection_duals(const dual (&f)[6], int h, int k, int l, double lambda,
                      dual& d, dual& two_theta) {
  const double x = h, y = k, z = l;
  const double m[6] = {x * x, y * y, z * z, y * z, x * z, x * y};
  dual q = constant(0);
  for (int i = 0; i < 6; ++i) q = add(q, scale(f[i], m[i]));
  d = dvd(constant(1), root(q));
  const dual s = dvd(constant(lambda), scale(d, 2));
  two_theta = scale(sub(constant(90), acos_degrees(s)), 2);
}
