// Independent oracles for the console's number text, shared by the unit
// tests and the fuzzers: libc's strtod and snprintf, and long double for
// the two-step rounding of nine decimals. Also what they are held to, as
// strings, and how many random rounds a test makes.
#pragma once
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "text/numtext.hpp"

// What format_fixed prints, as a string.
inline std::string fixed(double x, int w, int p) {
  char t[fixed_max + 16];
  return std::string(t, static_cast<std::size_t>(format_fixed(x, w, p, t)));
}

// Random rounds: DORVEX_ROUNDS, or the default suite's count.
inline long rounds(long fallback) {
  const char* env = std::getenv("DORVEX_ROUNDS");
  return env ? std::atol(env) : fallback;
}

namespace oracle {

// Digits past the 19th significant one turned to zeros: what the scan must
// read, by the same rule, through an independent converter.
inline std::string cut_to_19(const std::string& text) {
  std::string out;
  int sig = 0;
  bool in_exp = false;
  for (char c : text) {
    if (c == 'e' || c == 'E') in_exp = true;
    if (!in_exp && c >= '0' && c <= '9' && (sig > 0 || c != '0'))
      if (++sig > 19) c = '0';
    out += c;
  }
  return out;
}

// The value of a number's whole text as scanned: sign, INF/NAN words, an
// exponent with no digits counting as 0, saturation at the largest double.
inline double scanned(const std::string& text) {
  const bool minus = !text.empty() && text[0] == '-';
  const std::size_t at = !text.empty() && (text[0] == '-' || text[0] == '+');
  if (text.compare(at, 3, "INF") == 0) return minus ? -INFINITY : INFINITY;
  if (text.compare(at, 3, "NAN") == 0)
    return std::copysign(NAN, minus ? -1 : 1);
  std::string t = cut_to_19(text);
  const char last = t.empty() ? ' ' : t.back();
  if (last == 'e' || last == 'E' || last == '+' || last == '-') t += '0';
  const double v = std::strtod(t.c_str(), nullptr);
  return std::isinf(v) ? std::copysign(DBL_MAX, v) : v;
}

// No minus sign on a value printed as zero.
inline std::string unsigned_zero(std::string s) {
  const auto minus = s.find('-');
  if (minus != std::string::npos &&
      s.find_first_of("123456789") == std::string::npos)
    s[minus] = ' ';
  return s;
}

// " %8.4lf"-style text by snprintf, exact for |x| < 1e15.
inline std::string four_decimals(double x, int w) {
  char t[400];
  std::snprintf(t, sizeof t, "%*.4f", w, x);
  return unsigned_zero(t);
}

// The digits of "%12.9lf" come from x*1e9 rounded first to a 64-bit
// significand, then to an integer, both ties to even.
#if LDBL_MANT_DIG == 64
#define ORACLE_NINE_DECIMALS 1
// The x87 multiply does the first rounding, nearbyintl the second.
inline long double round_twice(double x) {
  volatile long double y = static_cast<long double>(x) * 1e9L;
  return std::nearbyint(y);
}
#elif LDBL_MANT_DIG >= 84
#define ORACLE_NINE_DECIMALS 1
// A wide long double holds the product exactly; round it to 64 bits by
// scaling it to an integer of 64 bits.
inline long double round_twice(double x) {
  const long double y = static_cast<long double>(x) * 1e9L;
  if (y == 0) return y;
  const int e = std::ilogb(y);
  const long double top = std::nearbyint(std::ldexp(y, 63 - e));
  return std::nearbyint(std::ldexp(top, e - 63));
}
#endif

#ifdef ORACLE_NINE_DECIMALS
// For |x| < 1e10.
inline std::string nine_decimals(double x) {
  const long double r = round_twice(x);
  char digits[64], text[64], want[64];
  const int nd = std::snprintf(digits, sizeof digits, "%.0Lf", std::fabs(r));
  std::string s(static_cast<std::size_t>(nd < 10 ? 10 - nd : 0), '0');
  s += digits;
  const std::size_t whole = s.size() - 9;
  std::snprintf(text, sizeof text, "%s%.*s.%s", x < 0 ? "-" : "",
                static_cast<int>(whole), s.c_str(), s.c_str() + whole);
  std::snprintf(want, sizeof want, "%12s", text);
  return unsigned_zero(want);
}
#endif

#ifdef __SIZEOF_INT128__
// "%w.plf" by the program's rules, exactly, for |x| < 1e23 (x 10^p below
// 2^107): x 10^p rounded to a 64-bit significand and then to an integer
// (both ties to even), 19 significant digits kept (ties to even on the
// digits), no minus on a zero, blanks to w. Plain 128-bit integers and
// digit strings, none of format_fixed's steps.
inline std::string exact_fixed(double x, int w, int p) {
  using u128 = unsigned __int128;
  const auto round_off = [](u128 v, int bits) -> u128 {  // v / 2^bits
    if (bits <= 0) return v;
    if (bits >= 128) return 0;
    const u128 q = v >> bits, rest = v - (q << bits),
               half = u128{1} << (bits - 1);
    return q + (rest > half || (rest == half && (q & 1)));
  };
  const auto bitlen = [](u128 v) {
    int n = 0;
    for (; v; v >>= 1) ++n;
    return n;
  };
  int e;
  const double f = std::frexp(std::fabs(x), &e);
  u128 t = static_cast<u128>(std::ldexp(f, 53));
  e -= 53;
  for (int k = 0; k < p; ++k) t *= 10;
  if (bitlen(t) > 64) {
    const int cut = bitlen(t) - 64;
    t = round_off(t, cut);
    e += cut;
  }
  const u128 v = e >= 0 ? t << e : round_off(t, -e);
  std::string d;
  for (u128 r = v; r; r /= 10) d += static_cast<char>('0' + r % 10);
  std::reverse(d.begin(), d.end());
  if (d.size() > 19) {  // 19 digits, the rest to zeros
    const bool more = d.find_first_not_of('0', 20) != std::string::npos;
    const bool up =
        d[19] > '5' || (d[19] == '5' && (more || (d[18] - '0') % 2));
    std::fill(d.begin() + 19, d.end(), '0');
    for (int k = 18; up && k >= 0; --k) {
      if (d[static_cast<std::size_t>(k)] != '9') {
        ++d[static_cast<std::size_t>(k)];
        break;
      }
      d[static_cast<std::size_t>(k)] = '0';
      if (k == 0) d = "1" + d;
    }
  }
  if (d.size() < static_cast<std::size_t>(p) + 1)
    d = std::string(static_cast<std::size_t>(p) + 1 - d.size(), '0') + d;
  const std::size_t whole = d.size() - static_cast<std::size_t>(p);
  std::string text;
  if (x < 0 && v != 0) text += '-';
  text.append(d, 0, whole);
  if (p > 0) {
    text += '.';
    text.append(d, whole, std::string::npos);
  }
  if (static_cast<int>(text.size()) < w)
    text = std::string(static_cast<std::size_t>(w) - text.size(), ' ') + text;
  return text;
}
#endif

}  // namespace oracle
