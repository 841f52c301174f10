#include "cell/arith.hpp"
#include "cell/cell.hpp"

// a* = 2 pi sqrt(A); cos alpha* = 2 pi^2 D / (b* c*): from
// 1/d^2 = (h a* + k b* + l c*)^2 / (2 pi)^2 expanded term by term.
void form_to_recip(const MetricForm& form, CellParams& recip, domain_log& log) {
  recip[slot::a] = canonical_nan(dsqrt(form[coef::A], log) * two_pi);
  recip[slot::b] = canonical_nan(dsqrt(form[coef::B], log) * two_pi);
  recip[slot::c] = canonical_nan(dsqrt(form[coef::C], log) * two_pi);
  recip[slot::alpha] = canonical_nan((two_pi_sq * form[coef::D]) /
                                     (recip[slot::b] * recip[slot::c]));
  recip[slot::beta] = canonical_nan((two_pi_sq * form[coef::E]) /
                                    (recip[slot::a] * recip[slot::c]));
  recip[slot::gamma] = canonical_nan((two_pi_sq * form[coef::F]) /
                                     (recip[slot::a] * recip[slot::b]));
}

// A = (a*/2 pi)^2, D = 2 (b*/2 pi)(c*/2 pi) cos alpha*, and so on.
void recip_to_form(const CellParams& recip, MetricForm& form) {
  constexpr double half = 0.5;
  const double q = inv_two_pi_sq;
  form[coef::A] = canonical_nan(recip[slot::a] * recip[slot::a] * q * half);
  form[coef::B] = canonical_nan(recip[slot::b] * recip[slot::b] * q * half);
  form[coef::C] = canonical_nan(recip[slot::c] * recip[slot::c] * q * half);
  form[coef::D] =
      canonical_nan(recip[slot::alpha] * recip[slot::b] * recip[slot::c] * q);
  form[coef::E] =
      canonical_nan(recip[slot::beta] * recip[slot::a] * recip[slot::c] * q);
  form[coef::F] =
      canonical_nan(recip[slot::gamma] * recip[slot::a] * recip[slot::b] * q);
}
