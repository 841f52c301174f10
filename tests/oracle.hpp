// Independent oracles for the console's number text, shared by the unit
// tests and the fuzzers: libc's strtod and snprintf, and long double for
// the two-step rounding of nine decimals. Also what they are held to, as
// strings, and how many random rounds a test makes.
#pragma once
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "dorvex/numtext.hpp"

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

}  // namespace oracle
