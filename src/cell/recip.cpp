#include "cell/arith.hpp"
#include "cell/cell.hpp"

namespace {
// Rounds to single precision. GCC 12's SLP vectorizer at -O2 drops a plain
// double-float-double round trip here, changing the digits: the float
// goes through a register the compiler cannot see into (through memory
// where no such asm is known).
float single(double x) {
  float f = static_cast<float>(x);
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
  __asm__("" : "+x"(f));
#else
  volatile float v = f;
  f = v;
#endif
  return f;
}
}  // namespace

// Reciprocal cell from the direct one (Giacovazzo, Fundamentals of
// Crystallography, 2nd ed., eqs. 2.14-2.16), with 2 pi in the lengths.
// sinar, sinbr, singr and vr are held in single precision on purpose: the
// printed digits of the metric form depend on it.
void recipconv(const CellParams& in, CellParams& out, domain_log& log,
               double (&sines)[3]) {
  const double a = in[slot::a], b = in[slot::b], c = in[slot::c];
  const double ca = in[slot::alpha], cb = in[slot::beta], cc = in[slot::gamma];
  // squared volume of the cell with unit edges; every product is rounded
  // before it is added, whatever the compiler would fuse
  const double w = rounded(2.0 * ca * cb * cc) + 1.0 - rounded(ca * ca) -
                   rounded(cb * cb) - rounded(cc * cc);
  // Infinite cosines can make w inf - inf or 0 * inf. The hardware's sign
  // for that NaN differs (x86 negative, aarch64 positive), and the square
  // root reports only a negative one: take it as the geometry's positive
  // NaN, which passes silently, on every platform.
  const double s = dsqrt(canonical_nan(w), log);
  const float vr = single(a * b * c * s);
  // (kept apart from sines[] until the end: the log's bytes may alias it,
  // and each store would be read back)
  const double sa = dsqrt(1.0 - rounded(ca * ca), log);
  const double sb = dsqrt(1.0 - rounded(cb * cb), log);
  const double sc = dsqrt(1.0 - rounded(cc * cc), log);
  const float sinar = single(sa), sinbr = single(sb), singr = single(sc);
  // a* = 2 pi b c sin(alpha) / V
  out[slot::a] = canonical_nan(two_pi * b * c * sinar / vr);
  out[slot::b] = canonical_nan(two_pi * a * c * sinbr / vr);
  out[slot::c] = canonical_nan(two_pi * a * b * singr / vr);
  // cos alpha* = (cos beta cos gamma - cos alpha) / (sin beta sin gamma);
  // the sines multiply in double, not float.
  out[slot::alpha] =
      canonical_nan((rounded(cb * cc) - ca) / (double{sinbr} * double{singr}));
  out[slot::beta] =
      canonical_nan((rounded(cc * ca) - cb) / (double{singr} * double{sinar}));
  out[slot::gamma] =
      canonical_nan((rounded(ca * cb) - cc) / (double{sinar} * double{sinbr}));
  sines[0] = sa;
  sines[1] = sb;
  sines[2] = sc;
}
