#include "cell/cell.hpp"

// a* = 2 pi sqrt(A); cos alpha* = 2 pi^2 D / (b* c*): from
// 1/d^2 = (h a* + k b* + l c*)^2 / (2 pi)^2 expanded term by term.
void form_to_recip(const MetricForm& form, CellParams& recip) {
  recip[0] = geo_nan(dsqrt(form[0]) * two_pi);
  recip[1] = geo_nan(dsqrt(form[1]) * two_pi);
  recip[2] = geo_nan(dsqrt(form[2]) * two_pi);
  recip[3] = geo_nan((two_pi_sq * form[3]) / (recip[1] * recip[2]));
  recip[4] = geo_nan((two_pi_sq * form[4]) / (recip[0] * recip[2]));
  recip[5] = geo_nan((two_pi_sq * form[5]) / (recip[0] * recip[1]));
}

// A = (a*/2 pi)^2, D = 2 (b*/2 pi)(c*/2 pi) cos alpha*, and so on.
void recip_to_form(const CellParams& recip, MetricForm& form) {
  constexpr double half = 0.5;
  const double q = inv_two_pi_sq;
  form[0] = geo_nan(recip[0] * recip[0] * q * half);
  form[1] = geo_nan(recip[1] * recip[1] * q * half);
  form[2] = geo_nan(recip[2] * recip[2] * q * half);
  form[3] = geo_nan(recip[3] * recip[1] * recip[2] * q);
  form[4] = geo_nan(recip[4] * recip[0] * recip[2] * q);
  form[5] = geo_nan(recip[5] * recip[0] * recip[1] * q);
}
