// The inputs of the golden transcripts, written as records without output
// for `transcripts --update` to fill: named cases first (the worked
// examples and edge cases users ask about), then seeded random inputs (all
// three modes; ordinary, impossible and degenerate cells; odd number forms;
// refused lines; input that ends early), then inputs whose printed values
// sit at a rounding tie, where any change of the arithmetic shows first.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "records.hpp"

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

std::string input(int i, const char*& kind_name) {
  static const char* const kinds[] = {
      "ordinary",  "impossible",     "far lengths",     "strange values",
      "odd forms", "refusals first", "input ends early"};
  const int mode = 1 + i % 3;
  const int kind = static_cast<int>(rng() % 7);
  kind_name = kinds[kind];
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

std::mt19937_64 tie_rng(20261209);

// An angle in degrees whose fifth decimal is a 5: a tie at four decimals.
long double tie_angle() {
  return 60 + static_cast<long double>(tie_rng() % 600000) / 10000 + 0.00005L;
}

// Typed angles at ties: the printed direct (or reciprocal) angles depend on
// every digit of the degree-radian constants and on cos and acos.
std::string tie_cell(int mode) {
  char t[160];
  const double l = mode == 2 ? 2 + static_cast<double>(tie_rng() % 9000) / 100
                             : 0.1 + static_cast<double>(tie_rng() % 200) / 100;
  std::snprintf(t, sizeof t, "%d\n%.2f %.2f %.2f %.5Lf %.5Lf %.5Lf\n", mode, l,
                l * 1.25, l * 1.5, tie_angle(), tie_angle(), tie_angle());
  return t;
}

// A metric form whose reciprocal angles land on ties: D, E and F solved,
// in long double, from the program's own constants.
std::string tie_form() {
  const long double two_pi = 6.28318531L, two_pi_sq = 19.7392088L,
                    deg = 57.2957795L;
  long double abc[3];
  char t[200], *p = t;
  p += std::snprintf(p, 8, "1\n");
  for (long double& x : abc) {
    x = 0.005L + static_cast<long double>(tie_rng() % 450) / 10000;
    p += std::snprintf(p, 16, "%.4Lf ", x);
  }
  const int pairs[3][2] = {{1, 2}, {0, 2}, {0, 1}};
  for (const auto& pr : pairs) {
    long double angle = tie_angle();
    if (angle > 85 && angle < 95) angle -= 20;  // a right angle hides a change
    const long double len1 = std::sqrt(abc[pr[0]]) * two_pi,
                      len2 = std::sqrt(abc[pr[1]]) * two_pi;
    const long double d = std::cos(angle / deg) * len1 * len2 / two_pi_sq;
    p += std::snprintf(p, 32, "%.16Lg ", d);
  }
  p[-1] = '\n';
  return t;
}

struct named {
  const char* name;
  std::string input;
};

std::string many(const char* line, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += line;
  return s;
}

const named cases[] = {
    {"worked example: direct cell 5 6 7 80 85 95", "2\n5 6 7 80 85 95\n"},
    {"cubic direct cell", "2\n10 10 10 90 90 90\n"},
    {"hexagonal direct cell", "2\n3 3 5 90 90 120\n"},
    {"impossible direct cell", "2\n5 5 5 10 10 170\n"},
    {"cubic metric form", "1\n0.01 0.01 0.01 0 0 0\n"},
    {"cubic reciprocal cell",
     "3\n0.628318531 0.628318531 0.628318531 90 90 90\n"},
    {"metric form with A = -1", "1\n-1 0.01 0.01 0 0 0\n"},
    {"a long edge widens its field", "2\n123456.7 6 7 80 85 95\n"},
    {"menu refusals",
     "0\n4\n-1\nx\n\n99999999999\n-99999999999\n   2 and more\n"
     "5 6 7 80 85 95\n"},
    {"1.5 chooses mode 1", "1.5\n0.01 0.01 0.01 0 0 0\n"},
    {"a seventh number is ignored", "2\n5 6 7 80 85 95 99\n"},
    {"five numbers, then six", "2\n5 6 7 80 85\n5 6 7 80 85 95\n"},
    {"CR LF line ends", "2\r\n5 6 7 80 85 95\r\n"},
    {"a stray CR inside a line", "2\n5 6 7 8\r0 85 95\n"},
    {"INF and inf refused, +INF read",
     "2\nINF 6 7 80 85 95\ninf 6 7 80 85 95\n+INF 6 7 90 90 90\n"},
    {"number forms", "2\n1e3 1E+3 -.5 +.5e-1 5. 0\n"},
    {"out of range: 1e999 and 1e-999", "2\n1e999 6 7 90 90 1e-999\n"},
    {"a sign needs no blank", "1\n0.01-0.002 0.01 0 0 0\n"},
    {"commas end a number", "2\n5,6,7,80,85,95\n5 6 7 80 85 95\n"},
    {"hexadecimal reads as 0", "2\n0x10 6 7 80 85 95\n"},
    {"a NUL ends what is scanned",
     std::string("2\n5 6 7 80 85\0 95\n5 6 7 80 85 95\n", 33)},
    {"tabs and trailing text", "2\n\t5\t6 7 +80 85.0 95e0 # note\n"},
    {"zero edge", "2\n0 6 7 90 90 90\n"},
    {"angle of 0 degrees", "2\n5 6 7 0 90 90\n"},
    {"angle of 180 degrees", "2\n5 6 7 90 90 180\n"},
    {"flat cell", "2\n5 6 7 60 60 120\n"},
    {"volume past single precision", "2\n1e13 1e13 1e13 90 90 90\n"},
    {"infinite edge", "2\n+INF 6 7 90 90 90\n"},
    {"-NAN edge", "2\n-NAN 6 7 90 90 90\n"},
    {"angle of 1e20 degrees", "2\n5 6 7 1e20 90 90\n"},
    {"metric form with A = 0", "1\n0 0.01 0.01 0.001 0.001 0.001\n"},
    {"cross terms too large", "1\n0.01 0.01 0.01 0.05 0 0\n"},
    {"values that print as zero", "1\n0.01 0.01 0.01 -0.0 -1e-12 -6e-10\n"},
    {"only 19 significant digits count",
     "1\n0.0100000000000000000009 0.01 0.01 0 0 0\n"},
    {"line of 99 characters",
     "2\n5 6 7 80 85 95" + std::string(85, ' ') + "\n"},
    {"line of 100 characters",
     "2\n5 6 7 80 85 95" + std::string(86, ' ') + "\n5 6 7 80 85 95\n"},
    {"six numbers of 17 digits, pasted",
     "1\n0.04074916345671234 0.02895621345671234 0.02127395345671234 "
     "-0.00906569045671234 -0.00613976445671234 0.00716305845671234\n"},
    {"long line at the menu", std::string(200, '2') + "\n2\n5 6 7 80 85 95\n"},
    {"Ctrl-Z ends input",
     "2\n5 6 7\x1a"
     "80 85 95\n5 6 7 80 85 95\n"},
    {"no input", ""},
    {"input ends at the menu", "7\n"},
    {"input ends in mode 1", "1\n"},
    {"input ends in mode 3", "3\n"},
    {"input ends in the numbers", "2\n1 2 3"},
    {"last line without LF", "2\n5 6 7 80 85 95"},
    {"a full block of prompts before the reports",
     many("x\n", 300) + "2\n5 5 5 10 10 170\n"},
    {"a near-halfway number read through the big integer, rounded up",
     "1\n0.06095109250000000159 0.01 0.01 0 0 0\n"},
    {"a near-halfway number read through the big integer, rounded down",
     "1\n0.05887745349999999947 0.01 0.01 0 0 0\n"},
    {"lines of 4,095 characters are read whole",
     "2" + std::string(4094, ' ') + "\n5 6 7 80 85 95" +
         std::string(4081, ' ') + "\n"},
    {"lines of 4,096 characters are refused",
     "2" + std::string(4095, ' ') + "\n2\n5 6 7 80 85 95" +
         std::string(4082, ' ') + "\n5 6 7 80 85 95\n"},
    {"cosines up to 2^53 radians, NaN past it",
     "2\n5 6 7 3e17 5.16e17 5.17e17\n"},
    {"a tie that glibc's acos rounds one way with FMA, the other without",
     "1\n0.0128 0.0464 0.0446 -0.01643722578375882 0.01787538428199137 "
     "0.008336700038263781\n"},
};

void put_record(const std::string& name, const std::string& in) {
  std::string r = "@@ " + name + "\n< ";
  for (char c : in) escape(r, static_cast<unsigned char>(c));
  std::fputs((r + "\n").c_str(), stdout);
}

}  // namespace

int main(int argc, char** argv) {
  const int n = argc > 1 ? std::atoi(argv[1]) : 2400;
  const int ties = argc > 2 ? std::atoi(argv[2]) : 480;
  std::printf(
      "# Golden transcripts: each input, what dorvex writes to standard\n"
      "# output and error (in write order, as with 2>&1 into a file) and its\n"
      "# exit status. Checked by ctest; regenerated only for an intended\n"
      "# change of output, as HACKING.md says. Read the diff.\n");
  for (const named& c : cases) put_record(c.name, c.input);
  for (int i = 0; i < n; ++i) {
    const char* kind;
    const std::string in = input(i, kind);
    put_record("random " + std::to_string(i) + ", mode " +
                   std::to_string(1 + i % 3) + ", " + kind,
               in);
  }
  for (int i = 0; i < ties; ++i) {
    const int mode = 1 + i % 3;
    put_record("tie " + std::to_string(i) + ", mode " + std::to_string(mode),
               mode == 1 ? tie_form() : tie_cell(mode));
  }
  return 0;
}
