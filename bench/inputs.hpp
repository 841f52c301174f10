// The inputs every measurement of reading and printing uses: numbers as
// users type them, and values as the report prints them.
#pragma once
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

// Numbers as users type them: cell edges and angles, metric coefficients,
// long digit strings pasted from elsewhere, exponents.
std::vector<std::string> typed_numbers() {
  std::mt19937_64 rng(42);
  std::vector<std::string> v;
  char t[64];
  for (int i = 0; i < 256; ++i) {
    const double u = static_cast<double>(rng() % 1000000) / 1000000.0;
    std::snprintf(t, sizeof t, "%.*f", static_cast<int>(rng() % 4),
                  2 + 120 * u);  // edge
    v.emplace_back(t);
    std::snprintf(t, sizeof t, "%.*f", static_cast<int>(rng() % 3),
                  60 + 60 * u);  // angle
    v.emplace_back(t);
    std::snprintf(t, sizeof t, "%.9f", (u - 0.3) * 0.05);  // coefficient
    v.emplace_back(t);
    std::snprintf(t, sizeof t, "%.6e", (u + 0.01) * 1e-3);  // exponent
    v.emplace_back(t);
  }
  for (int i = 0; i < 16; ++i) {  // long digit strings
    std::snprintf(t, sizeof t, "%.25f", static_cast<double>(rng() % 1000) / 7);
    v.emplace_back(t);
  }
  return v;
}

[[maybe_unused]] const std::vector<std::string>& corpus() {
  static const std::vector<std::string> v = typed_numbers();
  return v;
}

// The report's values: coefficients near 0.01 and cell values up to 180.
std::vector<double> report_values() {
  std::mt19937_64 rng(7);
  std::vector<double> v;
  for (int i = 0; i < 1024; ++i) {
    const double u = static_cast<double>(rng() >> 11) * 0x1p-53;
    v.push_back(i % 2 ? (u - 0.3) * 0.05 : u * 180);
  }
  return v;
}

[[maybe_unused]] const std::vector<double>& values() {
  static const std::vector<double> v = report_values();
  return v;
}

// Typical arguments of cos and acos: typed angles in radians, as the
// program makes them, and the cosines of cell angles.
std::vector<double> trig_arguments(bool cosines) {
  std::mt19937_64 rng(11);
  std::vector<double> v;
  for (int i = 0; i < 1024; ++i) {
    const double deg = static_cast<double>(rng() % 1800000) / 1e4;
    const double u = static_cast<double>(rng() >> 11) * 0x1p-53;
    v.push_back(cosines ? 2 * u - 1 : deg * 0.0174532925239284);
  }
  return v;
}

[[maybe_unused]] const std::vector<double>& angles() {
  static const std::vector<double> v = trig_arguments(false);
  return v;
}
[[maybe_unused]] const std::vector<double>& cosines() {
  static const std::vector<double> v = trig_arguments(true);
  return v;
}

// Direct cells as users type them: edges of 2 to 120, angles of 60 to 120
// degrees, each with up to two decimals.
struct cell6 {
  double v[6];
};
[[maybe_unused]] const std::vector<cell6>& cells() {
  static const std::vector<cell6> cs = [] {
    std::mt19937_64 rng(13);
    std::vector<cell6> v;
    const auto pick = [&rng](double lo, double span) {
      return lo + static_cast<double>(rng() % 10000) / 10000 * span;
    };
    for (int i = 0; i < 1024; ++i)
      v.push_back({{pick(2, 118), pick(2, 118), pick(2, 118), pick(60, 60),
                    pick(60, 60), pick(60, 60)}});
    return v;
  }();
  return cs;
}

}  // namespace
