// The geometry against worked examples, its own inverses, and an
// independent oracle: the inverse of the metric tensor.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "cell/arith.hpp"
#include "cell/cell.hpp"
#include "oracle.hpp"
#include "text/numtext.hpp"

namespace {

// The text a mode-2 run prints: form at 12.9, reciprocal cell at 8.4.
void mode2(const CellParams& cell, std::string& form_text,
           std::string& recip_text) {
  conversion c;
  convert_mode(start::direct, cell, c);
  form_text.clear();
  recip_text.clear();
  for (double x : c.form) form_text += fixed(x, 12, 9);
  for (double x : c.recip) {
    recip_text += ' ';
    recip_text += fixed(x, 8, 4);
  }
}

TEST(Geometry, WorkedExamples) {
  // Digits of the program's own worked examples; the ...159 and 0.040000001
  // of the hexagonal cell exist only with the single-precision sines and
  // volume.
  struct Row {
    CellParams cell;
    const char* form;
    const char* recip;
  } rows[] = {
      {{10, 10, 10, 90, 90, 90},
       " 0.010000000 0.010000000 0.010000000 0.000000000 0.000000000 "
       "0.000000000",
       "   0.6283   0.6283   0.6283  90.0000  90.0000  90.0000"},
      {{3, 3, 5, 90, 90, 120},
       " 0.148148159 0.148148159 0.040000001 0.000000000 0.000000000 "
       "0.148148159",
       "   2.4184   2.4184   1.2566  90.0000  90.0000  60.0000"},
      {{5, 6, 7, 80, 85, 95},
       " 0.040749163 0.028956213 0.021273953-0.009065690-0.006139764 "
       "0.007163058",
       "   1.2684   1.0692   0.9164 100.5231  95.9848  84.0152"},
  };
  for (const Row& r : rows) {
    std::string form, recip;
    mode2(r.cell, form, recip);
    EXPECT_EQ(form, r.form) << r.cell[0];
    EXPECT_EQ(recip, r.recip) << r.cell[0];
  }
}

// The functions as the geometry calls them, each with a log.
double sqrt_logged(double x, domain_log& log) {
  return dsqrt(x, log);
}
double cos_logged(double x, domain_log&) {
  return dcos(x);
}
double acos_logged(double x, domain_log& log) {
  return dacos(x, log);
}

TEST(Geometry, MathFunctionRules) {
  const double inf = INFINITY, nan = NAN;
  struct Row {
    double (*fn)(double, domain_log&);
    double x;
    double want;  // NaN: a positive NaN
    bool report;
  } rows[] = {
      {sqrt_logged, -0.0, -0.0, false},
      {sqrt_logged, 4, 2, false},
      {sqrt_logged, -1e-300, nan, true},
      {sqrt_logged, -inf, nan, true},
      {sqrt_logged, -nan, nan, true},
      {sqrt_logged, inf, inf, false},
      {cos_logged, 0, 1, false},
      {cos_logged, 1e20 * rad_per_deg, nan, false},
      {cos_logged, 9007199254740992.0, nan, false},
      {cos_logged, inf, nan, false},
      {acos_logged, 1, 0, false},
      {acos_logged, -1, M_PI, false},
      {acos_logged, -0.0, M_PI / 2, false},
      {acos_logged, 1.0000000000000002, nan, true},
      {acos_logged, nan, nan, true},
  };
  for (const Row& r : rows) {
    domain_log log;
    clear_log(log);
    const double got = r.fn(r.x, log);
    if (std::isnan(r.want)) {
      EXPECT_TRUE(std::isnan(got) && !std::signbit(got)) << r.x;
    } else {
      EXPECT_EQ(got, r.want) << r.x;
      EXPECT_EQ(std::signbit(got), std::signbit(r.want)) << r.x;
    }
    EXPECT_EQ(log.n, r.report ? 1 : 0) << r.x;
  }
}

TEST(Geometry, DegenerateCellsGiveTheSameEverywhere) {
  // Hardware gives 0*inf and inf-inf a NaN whose sign differs between x86
  // and aarch64; what is reported and printed must not.
  const double inf = INFINITY;
  struct Row {
    const char* what;
    CellParams in;  // lengths and cosines
    int reports;
  } rows[] = {
      // w = inf - inf passes silently; both 1 - cos^2 = -inf are reported
      {"infinite cosines", {1, 1, 1, inf, inf, 0.5}, 2},
      // w = 0 * inf, then times a NaN cosine: silent again
      {"0 * inf in w", {1, 1, 1, 0, inf, NAN}, 1},
      {"zero edge", {0, 6, 7, 0, 0, 0}, 0},
      {"infinite edge", {inf, 6, 7, 0, 0, 0}, 0},
      {"flat", {5, 6, 7, 0.5, 0.5, -0.5}, 0},
      // NaN cosines pass the square roots silently
      {"NaN cosine alpha", {5, 6, 7, NAN, 0.5, 0.5}, 0},
      {"NaN cosine beta", {5, 6, 7, 0.5, NAN, 0.5}, 0},
      {"NaN cosine gamma", {5, 6, 7, 0.5, 0.5, NAN}, 0},
  };
  for (const Row& r : rows) {
    domain_log log;
    clear_log(log);
    CellParams out;
    double sines[3];
    recipconv(r.in, out, log, sines);
    MetricForm form;
    recip_to_form(out, form);
    for (int i = 0; i < 6; ++i) {
      EXPECT_FALSE(std::isnan(out[i]) && std::signbit(out[i])) << r.what << i;
      EXPECT_FALSE(std::isnan(form[i]) && std::signbit(form[i])) << r.what << i;
    }
    EXPECT_EQ(log.n, r.reports) << r.what;
  }
}

// Reciprocal metric tensor by explicit inversion, in long double: a route
// independent of the sine formulas under test (Giacovazzo, eq. 2.20).
struct Oracle {
  long double g[3][3];  // G* = G^-1
};

Oracle invert_metric(const double (&cell)[6]) {
  const long double rad = 3.14159265358979323846264L / 180;
  const long double a = cell[0], b = cell[1], c = cell[2];
  const long double ca = std::cos(cell[3] * rad), cb = std::cos(cell[4] * rad),
                    cg = std::cos(cell[5] * rad);
  const long double m[3][3] = {{a * a, a * b * cg, a * c * cb},
                               {a * b * cg, b * b, b * c * ca},
                               {a * c * cb, b * c * ca, c * c}};
  Oracle o;
  const long double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                          m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                          m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      const int i1 = (j + 1) % 3, i2 = (j + 2) % 3, j1 = (i + 1) % 3,
                j2 = (i + 2) % 3;
      o.g[i][j] = (m[i1][j1] * m[i2][j2] - m[i1][j2] * m[i2][j1]) / det;
    }
  return o;
}

TEST(Geometry, RandomCellsAgainstMetricTensor) {
  std::mt19937_64 rng(20261208);
  std::uniform_real_distribution<double> edge(2, 100), angle(60, 120);
  const long double two_pi_exact = 6.28318530717958647692L;
  int checked = 0;
  for (int tries = 0; tries < 4000 && checked < 400; ++tries) {
    CellParams cell = {edge(rng),  edge(rng),  edge(rng),
                       angle(rng), angle(rng), angle(rng)};
    conversion c;
    convert_mode(start::direct, cell, c);
    const MetricForm& form = c.form;
    const CellParams& recip = c.recip;
    double cosines[6];
    for (int i = 0; i < 6; ++i) cosines[i] = cell[i];
    angles_to_cosines(cosines);
    const double w = 1 + 2 * cosines[3] * cosines[4] * cosines[5] -
                     cosines[3] * cosines[3] - cosines[4] * cosines[4] -
                     cosines[5] * cosines[5];
    if (w < 0.05) continue;  // near-flat cells amplify every rounding
    ++checked;
    const Oracle o = invert_metric(cell);
    // Single-precision sines and volume leave about 1e-7 relative error,
    // far below the four printed decimals of these lengths.
    for (int i = 0; i < 3; ++i) {
      const double want =
          static_cast<double>(two_pi_exact * std::sqrt(o.g[i][i]));
      EXPECT_NEAR(recip[i], want, 1e-6 * want);
    }
    const double ang = static_cast<double>(
        std::acos(o.g[1][2] / std::sqrt(o.g[1][1] * o.g[2][2])) * 180 /
        3.14159265358979323846264L);
    EXPECT_NEAR(recip[3], ang, 1e-4);
    const int hkl[][3] = {{1, 0, 0}, {0, 1, 1}, {1, -2, 3}, {-4, 1, 2}};
    for (const auto& h : hkl) {
      long double d2 = 0;
      for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) d2 += h[i] * h[j] * o.g[i][j];
      const double got = form[0] * h[0] * h[0] + form[1] * h[1] * h[1] +
                         form[2] * h[2] * h[2] + form[3] * h[1] * h[2] +
                         form[4] * h[0] * h[2] + form[5] * h[0] * h[1];
      EXPECT_NEAR(got, static_cast<double>(d2), 1e-6 * static_cast<double>(d2));
    }
  }
  EXPECT_EQ(checked, 400);
}

TEST(Geometry, InversesReturnTheStart) {
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> edge(2, 50), angle(70, 110);
  for (int n = 0; n < 200; ++n) {
    CellParams cell = {edge(rng),  edge(rng),  edge(rng),
                       angle(rng), angle(rng), angle(rng)};
    CellParams recip, back;
    domain_log log;
    clear_log(log);
    angles_to_cosines(cell);
    double sines[3];
    recipconv(cell, recip, log, sines);
    recipconv(recip, back, log, sines);
    // float sines and volume: about 1e-7 relative each way
    for (int i = 0; i < 6; ++i)
      EXPECT_NEAR(back[i], cell[i], 1e-6 * std::fabs(cell[i]) + 1e-7) << i;
    MetricForm form;
    CellParams again;
    recip_to_form(recip, form);
    form_to_recip(form, again, log);
    // 6.28318531^2 / 2 is not quite 19.7392088: 3e-10 relative
    for (int i = 0; i < 6; ++i)
      EXPECT_NEAR(again[i], recip[i], 1e-12 + 2e-9 * std::fabs(recip[i]));
  }
}

// The conversion as its steps read, one call after another: what the one
// conversion's shortcuts (early angles, the log kept in bulk) must match
// byte for byte, the failures' order included.
conversion call_by_call(int mode, const double (&in)[6]) {
  conversion c;
  clear_log(c.log);
  CellParams& given = mode == start::direct ? c.direct : c.recip;
  if (mode == start::form) {
    for (int i = 0; i < 6; ++i) c.form[i] = in[i];
    form_to_recip(c.form, c.recip, c.log);
    begin_step(c.log, conv_step::recipconv);
    recipconv(c.recip, c.direct, c.log, c.sines);
  } else {
    for (int i = 0; i < 6; ++i) given[i] = in[i];
    angles_to_cosines(given);
    begin_step(c.log, conv_step::recipconv);
    recipconv(given, mode == start::direct ? c.recip : c.direct, c.log,
              c.sines);
    recip_to_form(c.recip, c.form);
  }
  begin_step(c.log, conv_step::angles);
  for (int i = slot::alpha; i <= slot::gamma; ++i) {
    c.direct[i] = cosines_to_angles(c.direct[i], c.log);
    c.recip[i] = cosines_to_angles(c.recip[i], c.log);
  }
  return c;
}

TEST(Geometry, TheConversionAsCallByCall) {
  // cells that exist and cells that do not (angles past 360 together,
  // negative coefficients): every domain error in every step
  std::mt19937_64 rng(20261211);
  std::uniform_real_distribution<double> edge(1, 60), angle(1, 179),
      coef(-0.02, 0.05);
  int failing = 0;
  for (int n = 0; n < 3000; ++n) {
    const int mode = 1 + n % 3;
    double in[6];
    for (int i = 0; i < 6; ++i)
      in[i] = mode == start::form ? coef(rng)
              : i < 3             ? (mode == start::recip ? 0.1 : 1) * edge(rng)
                                  : angle(rng);
    conversion got;
    ASSERT_TRUE(convert_mode(mode, in, got));
    const conversion want = call_by_call(mode, in);
    const std::string at =
        "mode " + std::to_string(mode) + ", row " + std::to_string(n);
    EXPECT_EQ(0, std::memcmp(got.form, want.form, sizeof want.form)) << at;
    EXPECT_EQ(0, std::memcmp(got.direct, want.direct, sizeof want.direct))
        << at;
    EXPECT_EQ(0, std::memcmp(got.recip, want.recip, sizeof want.recip)) << at;
    ASSERT_EQ(got.log.n, want.log.n) << at;
    for (int k = 0; k < want.log.n; ++k) {
      EXPECT_EQ(got.log.at[k].fn, want.log.at[k].fn) << at;
      EXPECT_EQ(got.log.at[k].step, want.log.at[k].step) << at;
      EXPECT_EQ(got.log.at[k].call, want.log.at[k].call) << at;
    }
    failing += want.log.n > 0;
  }
  EXPECT_GT(failing, 300);  // the slow path too, not only the shortcut
}

}  // namespace
