// Seeded standard inputs for the cross-build comparison: all three modes,
// ordinary, impossible and degenerate cells, the number text's edge forms,
// refused lines and input that ends early. Writes one file per input.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace {

std::mt19937_64 rng(20261208);

double uniform(double lo, double hi) {
  return std::uniform_real_distribution<double>(lo, hi)(rng);
}

std::string num(double x) {
  char t[64];
  std::snprintf(t, sizeof t, "%.*f", static_cast<int>(rng() % 7), x);
  return t;
}

// The same value in one of the forms people type.
std::string odd_form(double x) {
  char t[96];
  switch (rng() % 6) {
    case 0:
      std::snprintf(t, sizeof t, "%.0f.", x);
      break;
    case 1:
      std::snprintf(t, sizeof t, "%.6e", x);
      break;
    case 2:
      std::snprintf(t, sizeof t, "%+.3E", x);
      break;
    case 3:
      std::snprintf(t, sizeof t, "%.25f", x);
      break;  // past 19 digits
    case 4:
      std::snprintf(t, sizeof t, "000%.4f", x);
      break;
    default:
      std::snprintf(t, sizeof t, "%.17g", x);
      break;
  }
  return t;
}

const char* const strange[] = {"0",      "180",      "0.0",  "+INF",   "-INF",
                               "1e999",  "-NAN",     "+NAN", "1e-999", "-0",
                               "1e13",   "1e-30",    "360",  "-90",    "1e308",
                               "-1e999", "4.9e-324", "90",   "1e40",   "-1"};

// Six values for a mode: lengths (or A, B, C) then angles (or D, E, F).
std::string six(int mode, int kind) {
  double v[6];
  for (int i = 0; i < 3; ++i)
    v[i] = mode == 1   ? uniform(0.0005, 0.1)
           : mode == 2 ? uniform(2, 120)
                       : uniform(0.05, 2.5);
  for (int i = 3; i < 6; ++i)
    v[i] = mode == 1 ? uniform(-0.02, 0.02) : uniform(50, 130);
  if (kind == 1 && mode != 1)  // angles that close no cell
    for (int i = 3; i < 6; ++i) v[i] = uniform(0, 360);
  if (kind == 1 && mode == 1) v[rng() % 3] *= -1;
  if (kind == 2)  // lengths far from the usual
    for (int i = 0; i < 3; ++i) v[i] *= std::pow(10.0, uniform(-12, 12));
  std::string line;
  for (int i = 0; i < 6; ++i) {
    std::string t = kind == 3 && rng() % 2 ? strange[rng() % 20]
                    : kind == 4            ? odd_form(v[i])
                                           : num(v[i]);
    line += (i ? (rng() % 4 ? " " : "\t ") : "") + t;
  }
  return line;
}

std::string input(int i) {
  const int mode = 1 + i % 3;
  const int kind = static_cast<int>(rng() % 7);
  std::string s;
  if (kind == 5) {  // refusals before the answers
    const char* bad[] = {"", "x", "4", "0", "-1", "99999999999", "2x", "INF"};
    for (int k = 0, n = 1 + static_cast<int>(rng() % 3); k < n; ++k)
      s += std::string(bad[rng() % 8]) + "\n";
  }
  s += std::to_string(mode) + (rng() % 8 ? "\n" : "\r\n");
  if (kind == 5) s += "1 2 3 4 5\n" + std::string(120, '7') + "\n";
  if (kind == 6) {  // input ends early
    if (rng() % 2) s += "1 2 3";
    return s;
  }
  s += six(mode, kind % 5) + "\n";
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: corpus_gen DIR COUNT\n");
    return 2;
  }
  const int n = std::atoi(argv[2]);
  for (int i = 0; i < n; ++i) {
    char path[4096];
    std::snprintf(path, sizeof path, "%s/%05d", argv[1], i);
    FILE* f = std::fopen(path, "wb");
    if (!f) return 1;
    const std::string s = input(i);
    std::fwrite(s.data(), 1, s.size(), f);
    std::fclose(f);
  }
  return 0;
}
