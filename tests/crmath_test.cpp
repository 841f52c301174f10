// cos and acos against MPFR, which rounds correctly by construction. Each
// path on its own over its whole domain: its value within the error bound
// it claims (the worst seen is printed beside the bound), its answer, when
// it gives one, MPFR's double. Then the whole functions on seeded random
// arguments of every kind and on the published hard cases.
#include "crmath/crmath.hpp"

#include <gtest/gtest.h>
#include <mpfr.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "cell/cell.hpp"
#include "crmath/paths.hpp"
#include "oracle.hpp"

namespace {

using mpfr_fn = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);

struct fn {
  const char* name;
  double (*whole)(double);
  fast_value (*fast)(double);
  bool (*fast_round)(double, double&);
  fixed_value (*accurate)(double);
  bool (*accurate_round)(double, double&);
  last_value (*last)(double, int);
  double (*last_round)(double);
  mpfr_fn f;
};
const fn cosine{
    "cos",        cr_cos,         cos_fast_value, cos_fast, cos_accurate_value,
    cos_accurate, cos_last_value, cos_last,       mpfr_cos};
const fn arccos{"acos",
                cr_acos,
                acos_fast_value,
                acos_fast,
                acos_accurate_value,
                acos_accurate,
                acos_last_value,
                acos_last,
                mpfr_acos};

// MPFR numbers that free themselves.
struct real {
  mpfr_t v;
  explicit real(long prec) { mpfr_init2(v, prec); }
  ~real() { mpfr_clear(v); }
  real(const real&) = delete;
  real& operator=(const real&) = delete;
};

bool same(double a, double b) {
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// The correctly rounded f(x).
double oracle(const fn& f, double x) {
  real a(53), b(53);
  mpfr_set_d(a.v, x, MPFR_RNDN);
  f.f(b.v, a.v, MPFR_RNDN);
  return mpfr_get_d(b.v, MPFR_RNDN);
}

// |value - f(x)| / bound, where value and bound are given in units of
// 2^ex, f(x) to prec bits; also the error relative to f(x).
struct measured {
  double ratio, relative;
};
measured against(const fn& f, double x, const real& value, double bound,
                 long ex, long prec) {
  real a(53), exact(prec), d(prec);
  mpfr_set_d(a.v, x, MPFR_RNDN);
  f.f(exact.v, a.v, MPFR_RNDN);
  mpfr_mul_2si(exact.v, exact.v, -ex, MPFR_RNDN);  // exact: a power of two
  mpfr_sub(d.v, value.v, exact.v, MPFR_RNDN);
  mpfr_abs(d.v, d.v, MPFR_RNDN);
  const double err = mpfr_get_d(d.v, MPFR_RNDU);
  return {err / bound, err / std::fabs(mpfr_get_d(exact.v, MPFR_RNDN))};
}

enum class path { fast, accurate, last };
const char* const path_names[] = {"fast", "accurate", "last"};

// A path on its own at x: how near its value came to its bound, and
// whether its answer (if any) is MPFR's.
struct outcome {
  measured m;
  bool answered, right;
};

outcome try_path(const fn& f, path p, double x) {
  double y = 0;
  outcome o{};
  if (p == path::fast) {
    const fast_value a = f.fast(x);
    real v(120);
    mpfr_set_d(v.v, a.v.hi, MPFR_RNDN);
    mpfr_add_d(v.v, v.v, a.v.lo, MPFR_RNDN);  // exact at 120 bits
    o.m = against(f, x, v, a.err, 0, 200);
    o.answered = f.fast_round(x, y);
  } else if (p == path::accurate) {
    if (&f == &arccos && std::fabs(x) == 1) return {{0, 0}, true, true};
    const fixed_value a = f.accurate(x);
    real v(128);
    mpfr_set_ui_2exp(v.v, a.v.hi, 64, MPFR_RNDN);
    mpfr_add_ui(v.v, v.v, a.v.lo, MPFR_RNDN);
    if (a.negative) mpfr_neg(v.v, v.v, MPFR_RNDN);
    o.m = against(f, x, v, static_cast<double>(a.err), a.ex, 300);
    o.answered = f.accurate_round(x, y);
  } else {
    const int w = fraction_bits[0];
    const last_value a = f.last(x, w);
    real v(32L * big::cap);
    mpfr_set_ui(v.v, 0, MPFR_RNDN);
    for (int i = a.v.n - 1; i >= 0; --i) {
      mpfr_mul_2ui(v.v, v.v, 32, MPFR_RNDN);
      mpfr_add_ui(v.v, v.v, a.v.w[i], MPFR_RNDN);
    }
    if (a.negative) mpfr_neg(v.v, v.v, MPFR_RNDN);
    o.m = against(f, x, v, static_cast<double>(a.err), -w, w + 128);
    y = f.last_round(x);
    o.answered = true;
  }
  o.right = !o.answered || same(y, oracle(f, x));
  return o;
}

// A double with a random significand in the binade [2^e, 2^(e+1)),
// subnormal below 2^-1022.
double in_binade(std::mt19937_64& g, int e) {
  if (e >= -1022)
    return std::ldexp(1 + static_cast<double>(g() >> 12) * 0x1p-52, e);
  const std::uint64_t top = std::uint64_t{1} << (e + 1074);
  return static_cast<double>(top | (g() & (top - 1))) * 0x1p-1074;
}
double sign(std::mt19937_64& g, double x) {
  return g() & 1 ? -x : x;
}
double step(std::mt19937_64& g, double x, int most) {
  for (auto n = g() % static_cast<unsigned>(most + 1); n > 0; --n)
    x = std::nextafter(x, g() & 1 ? 2 * x : 0);
  return x;
}

// The doubles below 2^53 nearest to multiples of pi/4, by continued
// fractions: in the binade [2^j, 2^(j+1)), m 2^(j-52) is near k pi/4 when
// m/k is near beta = pi/4 2^(52-j), so k runs over the convergents' (and
// their near combinations') denominators. Each with its distance.
struct near_quarter {
  double x;
  double distance;  // |x - k pi/4|
  bool odd;         // k odd: between two quarter turns
};
std::vector<near_quarter> find_near_quarter_turns() {
  std::vector<near_quarter> out;
  real beta(400), a(400), t(400), d(400);
  for (int j = -1; j <= 52; ++j) {
    mpfr_const_pi(beta.v, MPFR_RNDN);
    mpfr_mul_2si(beta.v, beta.v, 50 - j, MPFR_RNDN);  // pi/4 2^(52 - j)
    const double k1 = std::ldexp(1, 52) / mpfr_get_d(beta.v, MPFR_RNDN) - 1,
                 k2 = 2 * k1 + 3;
    std::vector<std::uint64_t> q{1, 0};  // denominators, from q(-2), q(-1)
    mpfr_set(a.v, beta.v, MPFR_RNDN);
    for (int n = 0; n < 60 && static_cast<double>(q.back()) <= k2; ++n) {
      mpfr_floor(t.v, a.v);
      const std::uint64_t an = mpfr_get_ui(t.v, MPFR_RNDN);
      q.push_back(an * q.back() + q[q.size() - 2]);
      mpfr_sub(a.v, a.v, t.v, MPFR_RNDN);
      if (mpfr_zero_p(a.v)) break;
      mpfr_ui_div(a.v, 1, a.v, MPFR_RNDN);
    }
    for (std::size_t n = 2; n < q.size(); ++n)
      for (std::uint64_t c = 1; c <= 64; ++c)
        for (const std::uint64_t k : {c * q[n], c * q[n] + q[n - 1]}) {
          if (static_cast<double>(k) < k1 || static_cast<double>(k) > k2)
            continue;
          mpfr_mul_ui(t.v, beta.v, k, MPFR_RNDN);
          mpfr_rint(a.v, t.v, MPFR_RNDN);
          const double m = mpfr_get_d(a.v, MPFR_RNDN);
          if (m < 0x1p52 || m >= 0x1p53) continue;
          mpfr_sub(d.v, a.v, t.v, MPFR_RNDN);
          mpfr_abs(d.v, d.v, MPFR_RNDN);
          out.push_back({std::ldexp(m, j - 52),
                         std::ldexp(mpfr_get_d(d.v, MPFR_RNDN), j - 52),
                         (k & 1) != 0});
        }
  }
  return out;
}

const std::vector<near_quarter>& near_quarter_turns() {
  static const std::vector<near_quarter> all = find_near_quarter_turns();
  return all;
}

// The published hard cases, both signs.
std::vector<double> hard_cases(const fn& f) {
  std::vector<double> out;
  std::ifstream in(std::string(DORVEX_TEST_DATA "/hard_") + f.name + ".txt");
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    const double x = std::strtod(line.c_str(), nullptr);
    // outside the domain: refused before these are called
    if (&f == &cosine ? !(std::fabs(x) < 0x1p53) : !(std::fabs(x) <= 1))
      continue;
    out.push_back(x);
    out.push_back(-x);
  }
  return out;
}

// Arguments of one kind: n of them, from a seeded generator or a list.
struct kind {
  const char* name;
  const fn& f;
  std::vector<double> (*make)(std::mt19937_64&, long n);
};
std::vector<double> generated(std::mt19937_64& g, long n,
                              double (*one)(std::mt19937_64&)) {
  std::vector<double> out;
  for (long i = 0; i < n; ++i) out.push_back(one(g));
  return out;
}
// The same count in each binade from 2^lo to 2^hi, either sign.
std::vector<double> binades(std::mt19937_64& g, long n, int lo, int hi) {
  std::vector<double> out;
  for (long i = 0; i < n; ++i)
    out.push_back(
        sign(g, in_binade(g, lo + static_cast<int>(i % (hi - lo + 1)))));
  return out;
}
// x and its two neighbours each way, either sign, from 2^-27 on.
void with_neighbours(std::mt19937_64& g, double x, std::vector<double>& all) {
  for (int d = -2; d <= 2; ++d) {
    double y = x;
    for (int s = 0; s < std::abs(d); ++s)
      y = std::nextafter(y, d < 0 ? 0.0 : 0x1p53);
    if (y >= 0x1p-27 && y < 0x1p53) all.push_back(sign(g, y));
  }
}
std::vector<double> taken(std::mt19937_64& g, long n, std::vector<double> all) {
  std::shuffle(all.begin(), all.end(), g);
  if (static_cast<long>(all.size()) > n)
    all.resize(static_cast<std::size_t>(n));
  return all;
}
const kind kinds[] = {
    {"every binade, 2^-27 to 2^53", cosine,
     [](std::mt19937_64& g, long n) { return binades(g, n, -27, 52); }},
    {"nearest to multiples of pi/4, and neighbours", cosine,
     [](std::mt19937_64& g, long n) {
       std::vector<double> all;
       for (const near_quarter& q : near_quarter_turns())
         with_neighbours(g, q.x, all);
       return taken(g, n, all);
     }},
    // where t is largest on the cosine's direct path, and where it ends:
    // (k + 1/2)/128 for every row k, 89.75 to 90.2 degrees and pi + 2^-8
    {"each end of each row of the cosine's table", cosine,
     [](std::mt19937_64& g, long n) {
       std::vector<double> all;
       for (int k = 0; k <= 404; ++k) with_neighbours(g, (k + 0.5) / 128, all);
       return taken(g, n, all);
     }},
    {"hard cases", cosine,
     [](std::mt19937_64& g, long n) {
       return taken(g, n, hard_cases(cosine));
     }},
    {"every binade, 2^-1074 to 1", arccos,
     [](std::mt19937_64& g, long n) { return binades(g, n, -1074, -1); }},
    {"near 1, -1, 1/2 and -1/2", arccos,
     [](std::mt19937_64& g, long n) {
       return generated(g, n, [](std::mt19937_64& r) {
         return sign(
             r, r() & 1 ? 1 - std::ldexp(
                                  1, std::uniform_int_distribution(-53, -2)(r))
                        : step(r, 0.5, 60));
       });
     }},
    {"hard cases", arccos,
     [](std::mt19937_64& g, long n) {
       return taken(g, n, hard_cases(arccos));
     }},
};

// Arguments per kind for each path: the default suite takes a sample,
// DORVEX_ROUNDS (the slow suite) sets the fast path's count and the others
// in proportion.
long per_kind(path p) {
  const long fast = rounds(4000);
  return p == path::fast ? fast : fast / 4;
}

void every_kind(path p) {
  std::mt19937_64 g(20261209 + static_cast<int>(p));
  for (const fn* f : {&cosine, &arccos}) {
    double worst = 0, worst_relative = 0;
    long n = 0, unanswered = 0;
    for (const kind& k : kinds) {
      if (&k.f != f) continue;
      long wrong = 0;
      const std::vector<double> args = k.make(g, per_kind(p));
      EXPECT_FALSE(args.empty()) << k.name;
      for (const double x : args) {
        const outcome o = try_path(*f, p, x);
        ++n;
        unanswered += !o.answered;
        worst = std::max(worst, o.m.ratio);
        worst_relative = std::max(worst_relative, o.m.relative);
        if (o.m.ratio > 1 && wrong++ < 3)
          ADD_FAILURE() << path_names[static_cast<int>(p)] << " " << f->name
                        << "(" << std::hexfloat << x << ") is "
                        << std::defaultfloat << o.m.ratio
                        << " times its bound from the exact value";
        if (!o.right && wrong++ < 3)
          ADD_FAILURE() << path_names[static_cast<int>(p)] << " " << f->name
                        << "(" << std::hexfloat << x << ") should be "
                        << oracle(*f, x);
      }
    }
    std::printf(
        "%s %s: %ld arguments, %ld not decided; worst error 2^%.1f "
        "of the value, %.3g of the bound claimed\n",
        path_names[static_cast<int>(p)], f->name, n, unanswered,
        std::log2(worst_relative), worst);
  }
}

TEST(EveryPath, Fast) {
  every_kind(path::fast);
}
TEST(EveryPath, Accurate) {
  every_kind(path::accurate);
}
TEST(EveryPath, Last) {
  every_kind(path::last);
}

// The quadrant of the last path is exact because no double comes near an
// odd multiple of pi/4, and the nearest to a multiple of pi/2 is the one
// the reductions were sized for.
TEST(EveryPath, NearestToQuarterTurns) {
  double odd = 1, even = 1, even_x = 0;
  for (const near_quarter& q : near_quarter_turns()) {
    if (q.odd) odd = std::min(odd, q.distance);
    if (!q.odd && q.distance < even) {
      even = q.distance;
      even_x = q.x;
    }
  }
  std::printf(
      "nearest to an odd multiple of pi/4: 2^%.2f; to a multiple "
      "of pi/2: 2^%.2f, at %a\n",
      std::log2(odd), std::log2(even), even_x);
  EXPECT_GT(odd, 0x1p-64);
  EXPECT_EQ(even_x, 0x1.6c6cbc45dc8dep+5);
}

// The whole functions on seeded random arguments of every kind.
struct random_kind {
  const char* name;
  const fn& f;
  double (*make)(std::mt19937_64&);
};
const random_kind random_kinds[] = {
    {"typed angle", cosine,
     [](std::mt19937_64& g) {
       const auto d = std::uniform_int_distribution<int>(-3600000, 3600000)(g);
       return d / 1e4 * rad_per_deg;
     }},
    {"any below 2^53", cosine,
     [](std::mt19937_64& g) {
       return sign(g, in_binade(g, std::uniform_int_distribution(-27, 52)(g)));
     }},
    {"near k pi/2", cosine,
     [](std::mt19937_64& g) {
       const double k =
           std::floor(in_binade(g, std::uniform_int_distribution(0, 51)(g)));
       return step(g, k * 0x1.921fb54442d18p0 + k * 0x1.1a62633145c07p-54, 3);
     }},
    {"any in [-1, 1]", arccos,
     [](std::mt19937_64& g) {
       return sign(g,
                   in_binade(g, std::uniform_int_distribution(-1022, -1)(g)));
     }},
    {"near 1 and -1", arccos,
     [](std::mt19937_64& g) {
       return sign(g,
                   1 - in_binade(g, std::uniform_int_distribution(-53, -2)(g)));
     }},
    {"near 1/2 and -1/2", arccos,
     [](std::mt19937_64& g) { return sign(g, step(g, 0.5, 50)); }},
    {"near 0", arccos,
     [](std::mt19937_64& g) {
       return sign(g,
                   in_binade(g, std::uniform_int_distribution(-1022, -20)(g)));
     }},
};

// DORVEX_ROUNDS arguments of the function, shared among its kinds.
void random_arguments(const fn& f) {
  std::mt19937_64 g(20261209);
  long kinds_of_f = 0;
  for (const random_kind& k : random_kinds) kinds_of_f += &k.f == &f;
  for (const random_kind& k : random_kinds) {
    if (&k.f != &f) continue;
    long n = 0, slower = 0, wrong = 0;
    double y;
    for (; n < rounds(100000) / kinds_of_f && wrong < 5; ++n) {
      const double x = k.make(g);
      slower += std::fabs(x) >= 0x1p-27 && !f.fast_round(x, y);
      if (!same(f.whole(x), oracle(f, x)) && wrong++ < 5)
        ADD_FAILURE() << f.name << "(" << std::hexfloat << x << ") should be "
                      << oracle(f, x);
    }
    std::printf("%s, %s: %ld arguments, %ld past the fast path\n", f.name,
                k.name, n, slower);
  }
}

TEST(CorrectRounding, RandomCosArguments) {
  random_arguments(cosine);
}
TEST(CorrectRounding, RandomAcosArguments) {
  random_arguments(arccos);
}

// Both signs of the published hard cases, through the whole function:
// DORVEX_ROUNDS of each function's, evenly spread (all in the slow suite).
TEST(CorrectRounding, HardCases) {
  for (const fn* f : {&cosine, &arccos}) {
    const std::vector<double> all = hard_cases(*f);
    const std::size_t stride =
        all.size() / std::min<std::size_t>(
                         all.size(), static_cast<std::size_t>(rounds(40000)));
    long n = 0, wrong = 0;
    for (std::size_t i = 0; i < all.size(); i += stride) {
      const double x = all[i];
      ++n;
      if (!same(f->whole(x), oracle(*f, x)) && wrong++ < 5)
        ADD_FAILURE() << f->name << "(" << std::hexfloat << x << ") should be "
                      << oracle(*f, x);
    }
    EXPECT_GT(all.size(), 70000u);
    std::printf("%s: %ld of %zu hard cases\n", f->name, n, all.size());
  }
}

// Every angle typed with up to four decimals, -360 to 360 degrees.
TEST(CorrectRounding, EveryTypedAngle) {
  long wrong = 0;
  for (int d = -3600000; d <= 3600000 && wrong < 5; ++d) {
    const double x = d / 1e4 * rad_per_deg;
    if (!same(cr_cos(x), oracle(cosine, x)) && wrong++ < 5)
      ADD_FAILURE() << "cos(" << std::hexfloat << x << ") should be "
                    << oracle(cosine, x);
  }
}

}  // namespace
