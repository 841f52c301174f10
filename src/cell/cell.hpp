// Cell geometry: the direct and reciprocal cell and the metric form of 1/d^2.
#pragma once
#include <cstddef>

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

// Square root, cosine and arc cosine with the program's domain rules: a
// domain error reports "\n<name>: DOMAIN error\n" and yields a positive NaN.
double dsqrt(double x);
double dcos(double x);
double dacos(double x);

// Where domain reports go. The caller provides it: the geometry itself
// writes nowhere, and without a sink a report is dropped.
using domain_sink = void (*)(void* ctx, const char* text, std::size_t len);
void set_domain_sink(domain_sink fn, void* ctx);

// Degrees in the angle slots become cosines.
void angles_to_cosines(CellParams& cell);
// One cosine back to degrees, 0 to 180.
double cosines_to_angles(double x);
// Cell (lengths, cosines) to its reciprocal in the 2 pi convention; its own
// inverse. in and out must be distinct.
void recipconv(const CellParams& in, CellParams& out);

// A cell typed in degrees (the direct one, or the reciprocal one when
// !given_is_direct) to cosines, its counterpart and the metric form: the
// conversion of modes 2 and 3.
void convert_cell(CellParams& given, CellParams& other, MetricForm& form,
                  bool given_is_direct);

// Metric form <-> reciprocal cell (lengths, cosines).
void form_to_recip(const MetricForm& form, CellParams& recip);
void recip_to_form(const CellParams& recip, MetricForm& form);
