// The angles as users give them and read them, and the one conversion
// every front end calls: the dialogue, the C API, Python, JavaScript.
#include "cell/arith.hpp"
#include "cell/cell.hpp"

void angles_to_cosines(CellParams& cell) {
  for (int i = slot::alpha; i <= slot::gamma; ++i)
    cell[i] = dcos(cell[i] * rad_per_deg);
}

double cosines_to_angles(double x, domain_log& log) {
  return dacos(x, log) * deg_per_rad;
}

bool convert_cosines(int mode, const double (&in)[6], conversion& out) {
  if (mode < start::form || mode > start::recip) return false;
  clear_log(out.log);
  out.given = 0;
  if (mode == start::form) {
    for (int i = 0; i < 6; ++i) out.form[i] = in[i];  // printed as given
    begin_step(out.log, conv_step::form_to_recip);
    form_to_recip(out.form, out.recip, out.log);
    begin_step(out.log, conv_step::recipconv);
    recipconv(out.recip, out.direct, out.log, out.sines);
  } else {
    // a direct cell, or a reciprocal one: recipconv is its own inverse
    CellParams& given = mode == start::direct ? out.direct : out.recip;
    CellParams& other = mode == start::direct ? out.recip : out.direct;
    for (int i = 0; i < 6; ++i) given[i] = in[i];
    angles_to_cosines(given);
    for (int i = 0; i < 3; ++i) out.cosines[i] = given[slot::alpha + i];
    for (int i = 0; i < 3; ++i) {
      const double x = out.cosines[i];
      out.angles[i] = std::fabs(x) <= 1 ? cr_acos(x) * deg_per_rad : 0;
    }
    out.given = mode;
    begin_step(out.log, conv_step::recipconv);
    recipconv(given, other, out.log, out.sines);
    recip_to_form(out.recip, out.form);
  }
  return true;
}

void convert_angles(conversion& out) {
  begin_step(out.log, conv_step::angles);
  bool in_domain = true;
  for (int i = slot::alpha; i <= slot::gamma; ++i)
    in_domain = in_domain && std::fabs(out.direct[i]) <= 1 &&
                std::fabs(out.recip[i]) <= 1;
  if (in_domain) {  // the same log as call by call, without its bookkeeping
    for (int i = 0; i < 3; ++i) {
      double& d = out.direct[slot::alpha + i];
      double& r = out.recip[slot::alpha + i];
      d = out.given == start::direct ? out.angles[i] : cr_acos(d) * deg_per_rad;
      r = out.given == start::recip ? out.angles[i] : cr_acos(r) * deg_per_rad;
    }
    out.log.calls[static_cast<int>(domain_fn::acos)] = 6;
    return;
  }
  // alpha, alpha*, beta, beta*, gamma, gamma*: the order of acos reports
  for (int i = slot::alpha; i <= slot::gamma; ++i) {
    out.direct[i] = cosines_to_angles(out.direct[i], out.log);
    out.recip[i] = cosines_to_angles(out.recip[i], out.log);
  }
}

bool convert_mode(int mode, const double (&in)[6], conversion& out) {
  if (!convert_cosines(mode, in, out)) return false;
  convert_angles(out);
  return true;
}
