// The console's number text: how answers are scanned and numbers printed.
#pragma once
#include <cstdint>

// Outcome of a scan, as "%d" and "%lf" count it: one value converted, no
// value, or nothing left to read.
enum class scan_got { one = 1, none = 0, end = -1 };

// The C locale's white space, by value: TAB LF VT FF CR and SPACE; bytes of
// 0x80 and up never count.
constexpr bool is_space(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

struct int_scan {
  scan_got got;
  std::int32_t value;  // saturated to the 32-bit range
  const char* next;    // where the scan stopped
};
// "%d" from the start of a NUL-terminated line.
int_scan scan_integer(const char* s);

struct real_scan {
  scan_got got;
  double value;
  const char* next;
};
// "%lf" from s: one number, white space before it skipped.
real_scan scan_real(const char* s);

// The longest text format_fixed writes: sign, 309 integer digits, point, 9.
constexpr int fixed_max = 320;
// "%w.plf": writes into out (room for fixed_max bytes, or w if more; no
// NUL) and returns the length. p is 0 to 9.
int format_fixed(double x, int w, int p, char* out);

// A number with its standard uncertainty as CIF writes it, in
// parentheses straight after it: "5.6402(3)" is 5.6402 +- 0.0003,
// "1.5e3(12)" is 1500 +- 1200; the s.u. counts in the last digit of the
// number's mantissa. su is 0 without one. A malformed s.u. gives none, and
// `why` says what is wrong ("5.6402(", "5.6402()", "5.6402(-3)").
struct value_scan {
  scan_got got;
  double value, su;
  const char* next;
  const char* why;  // when got is none because of the s.u.; else null
};
value_scan scan_value(const char* s);

// value(su) in the crystallographers' notation: the s.u. to two digits
// when they are 19 or less, else to one, and the value to the same place
// ("179.43(3)", "0.00171(12)", "26020(20)"), by the program's printing.
// Writes into out (room for su_text_max bytes, no NUL) and returns the
// length; 0 when there is no s.u. to show (su not above 0, or the value or
// the s.u. not finite, or, where the value is written with an exponent,
// the s.u.'s last place ten digits below the value's first).
constexpr int su_text_max = 64;
int format_su(double value, double su, char (&out)[su_text_max]);

// The shortest text that reads back to x (no NUL), "inf", "-inf" or "nan"
// (any NaN: spreadsheets, NumPy and pandas read these); its length.
constexpr int shortest_max = 24;
int format_shortest(double x, char (&out)[shortest_max]);
