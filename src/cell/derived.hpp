// What follows from a conversion: the volumes, the reciprocal cell without
// 2 pi, d-spacings, 2 theta, and the list of reflections to a resolution.
// Double precision, IEEE operations and the correctly rounded cos and acos
// only, so every value is the same bits on every platform. No I/O.
#pragma once
#include <cstddef>

#include "cell/cell.hpp"
#include "cell/uncertainty.hpp"

// The two conventions of the reciprocal cell: the program's, with 2 pi in
// the lengths (a* = 2 pi / a for an orthogonal cell), and the one of
// crystallographic tables and CIF, a* = 1 / a.
namespace conv {
constexpr int two_pi = 0, one = 1;
}

// A reciprocal cell given in convention c as the program takes it (2 pi):
// its lengths times the program's 2 pi; the angles as they stand.
void recip_from(int c, const double (&in)[6], double (&out)[6]);
// The program's reciprocal cell in convention c: its lengths divided by
// the program's 2 pi, so that the two conventions differ by that factor
// exactly as the program's numbers do.
void recip_to(int c, const CellParams& recip, double (&out)[6]);

// The metric form A..F of 1/d^2 and the volume V (Å^3), in double
// throughout, from the six numbers of a mode as given (a reciprocal cell
// in the 2 pi convention, angles in degrees): the report's form carries the
// program's single-precision steps, up to a part in 10^7 of each
// coefficient, which the cross terms can magnify in 1/d^2. NaN for a cell
// that does not exist (the conversion says why).
struct metric {
  MetricForm form;
  double volume;
};
// c: the conversion of given, whose cosines of the given cell's angles
// (modes 2 and 3) are taken to the precise pi/180 rather than computed
// again, with their sines.
metric metric_of(int mode, const double (&given)[6], const conversion& c);
// V* in convention c from V: 1/V, or (2 pi)^3 / V with the program's 2 pi.
double recip_volume(int c, double volume);

// d of the reflection h k l from a metric form, Å: 1/sqrt(A h^2 + ... ).
double d_spacing(const MetricForm& form, int h, int k, int l);
// 2 theta in degrees for wavelength lambda (Å) by Bragg's law,
// sin theta = lambda / 2d; NaN when lambda / 2d > 1 (no such angle).
double two_theta(double d, double lambda);

struct reflection {
  int h, k, l;
  double d, two_theta, d_su, two_theta_su;
};
// Every reflection h k l with d >= d_min but 0 0 0, one of each Friedel
// pair (the first index that is not 0 positive), by d descending, then h,
// k, l ascending; 2 theta for lambda (NaN where there is none, or lambda
// is NaN); the s.u. of d and 2 theta from the form's derivatives and the
// given numbers' s.u., when these are not null (else 0). Writes them into
// out when they are at most cap, and returns how many there are, or -1
// when the search would pass max_search indices (d_min too small for the
// cell), or the cell does not exist.
constexpr long max_search = 50000000;
long reflections(const MetricForm& form, const CellParams& direct, double d_min,
                 double lambda, const dual (*form_duals)[6],
                 const double (*su)[6], reflection* out, std::size_t cap);

// A characteristic X-ray line and its wavelength in Å.
struct xray_line {
  char name[8];  // "CuKa1", ...: in place, so the table needs no relocation
  double lambda;
};
// The lines by index from 0; null past the last.
const xray_line* xray_line_at(int index);
// The wavelength of a line by its name; NaN for a name not in the table.
double line_wavelength(const char* name);
