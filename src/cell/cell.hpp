// Cell geometry: the direct and reciprocal cell and the metric form of 1/d^2.
#pragma once
#include <cmath>
#include <cstddef>
#include <limits>

// a, b, c, alpha, beta, gamma; the angle slots hold degrees at the console
// and cosines inside the geometry.
using CellParams = double[6];
// A, B, C, D, E, F of 1/d^2 = A h^2 + B k^2 + C l^2 + D kl + E hl + F hk.
using MetricForm = double[6];

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

// Every NaN the geometry writes is the positive quiet NaN. Hardware makes
// 0*inf negative on x86-64 and positive on aarch64, and which of two NaN
// operands survives depends on the compiler; the report must not.
inline double geo_nan(double x) {
  return std::isnan(x) ? std::numeric_limits<double>::quiet_NaN() : x;
}

// Where domain reports go: fd 2 unless a driver routes them elsewhere.
using domain_sink = void (*)(void* ctx, const char* text, std::size_t len);
void set_domain_sink(domain_sink fn, void* ctx);

// Degrees in slots 3..5 become cosines.
void angles_to_cosines(CellParams& cell);
// One cosine back to degrees, 0 to 180.
double cosines_to_angles(double x);
// Cell (lengths, cosines) to its reciprocal in the 2 pi convention; its own
// inverse. in and out must be distinct.
void recipconv(const CellParams& in, CellParams& out);

// Metric form <-> reciprocal cell (lengths, cosines).
void form_to_recip(const MetricForm& form, CellParams& recip);
void recip_to_form(const CellParams& recip, MetricForm& form);
