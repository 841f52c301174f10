// Cell geometry: the direct and reciprocal cell and the metric form of 1/d^2.
#pragma once

// a, b, c, alpha, beta, gamma; the angle slots hold degrees at the console
// and cosines inside the geometry.
using CellParams = double[6];
// A, B, C, D, E, F of 1/d^2 = A h^2 + B k^2 + C l^2 + D kl + E hl + F hk.
using MetricForm = double[6];

// The slots of a CellParams, direct or reciprocal: alpha is the angle
// between the second and third axes, beta the first and third, gamma the
// first and second.
namespace slot {
constexpr int a = 0, b = 1, c = 2, alpha = 3, beta = 4, gamma = 5;
}
// The slots of a MetricForm: A, B, C of h^2, k^2, l^2; D, E, F of the
// cross terms kl, hl, hk.
namespace coef {
constexpr int A = 0, B = 1, C = 2, D = 3, E = 4, F = 5;
}

// The program's decimal constants: digits users compare against depend on
// these exact values, not on a precise pi.
constexpr double two_pi = 6.28318531;
constexpr double two_pi_sq = 19.7392088;  // 2 pi^2
constexpr double deg_per_rad = 57.2957795;
constexpr double rad_per_deg = 0.0174532925239284;      // 1/57.2957795
constexpr double inv_two_pi_sq = 0.050660591826760554;  // 1/19.7392088

// A domain error of the square root or the arc cosine: which function,
// the conversion step that called it, and which of that step's calls of
// the function it was, from 0, in the step's fixed order (include/dorvex.h
// lists each step's calls, for every front end).
enum class domain_fn : unsigned char { sqrt, acos };
enum class conv_step : unsigned char { form_to_recip, recipconv, angles };
struct domain_error {
  domain_fn fn;
  conv_step step;
  unsigned char call;
};
// "sqrt" or "acos".
constexpr const char* domain_name(domain_fn fn) {
  return fn == domain_fn::sqrt ? "sqrt" : "acos";
}

// The domain errors of one conversion in the order they arose: 3 square
// roots in form_to_recip, 4 in recipconv, 6 arc cosines at the most.
constexpr int max_domain_errors = 13;
struct domain_log {
  domain_error at[max_domain_errors];
  int n;
  conv_step step;          // the step now running
  unsigned char calls[2];  // its calls so far of sqrt and of acos
};
// Each step of a conversion begins here; a log starts empty, in the first.
inline void begin_step(domain_log& log, conv_step step) {
  log.step = step;
  log.calls[0] = log.calls[1] = 0;
}
inline void clear_log(domain_log& log) {
  log.n = 0;
  begin_step(log, conv_step::form_to_recip);
}

// Degrees in the angle slots become cosines.
void angles_to_cosines(CellParams& cell);
// One cosine back to degrees, 0 to 180.
double cosines_to_angles(double x, domain_log& log);
// Cell (lengths, cosines) to its reciprocal in the 2 pi convention; its own
// inverse. in and out must be distinct. sines: sqrt(1 - cos^2) of in's
// angles in double, on their way to single precision.
void recipconv(const CellParams& in, CellParams& out, domain_log& log,
               double (&sines)[3]);

// Metric form <-> reciprocal cell (lengths, cosines).
void form_to_recip(const MetricForm& form, CellParams& recip, domain_log& log);
void recip_to_form(const CellParams& recip, MetricForm& form);

// The conversion of one mode, as the program makes it: the form, the
// direct cell and the reciprocal cell (angles in degrees, as the report
// shows them) and the domain errors in the order they arose. Keeps no
// state and does no I/O.
// What the six numbers given are: the modes of the menu.
namespace start {
constexpr int form = 1, direct = 2, recip = 3;
}
struct conversion {
  MetricForm form;
  CellParams direct, recip;
  domain_log log;
  double cosines[3];  // of the given cell's angles (modes 2 and 3)
  double sines[3];    // and their sines, as recipconv made them
  // The given cell's angles back from cosines[], made early, while
  // recipconv's divisions run: convert_angles takes them when no arc
  // cosine fails. given: start::direct or start::recip, else 0 (none).
  double angles[3];
  int given;
};
// false for a mode other than 1, 2 or 3, with out untouched.
bool convert_mode(int mode, const double (&in)[6], conversion& out);
// The same in two steps, for work to run between them while the arc
// cosines wait: every value but the angles, which are cosines until
// convert_angles.
bool convert_cosines(int mode, const double (&in)[6], conversion& out);
void convert_angles(conversion& out);
