// The crystallographers' notation for a standard uncertainty: reading
// "5.6402(3)" and writing a value with its s.u. to the digits it keeps.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "text/numtext.hpp"

namespace {

// 10^k, correctly rounded, by the program's own reading.
double pow10(int k) {
  char t[16] = "1e";
  char* o = t + 2;
  if (k < 0) *o++ = '-';
  char d[8];
  int n = 0;
  for (unsigned u = k < 0 ? -static_cast<unsigned>(k)
                          : static_cast<unsigned>(k);
       n == 0 || u; u /= 10)
    d[n++] = static_cast<char>('0' + u % 10);
  while (n) *o++ = d[--n];
  *o = '\0';
  return scan_real(t).value;
}

// k with 10^k <= x < 10^(k+1), for x > 0 and finite.
int decade(double x) {
  int e2;
  std::frexp(x, &e2);
  int k = (e2 - 1) * 30103 / 100000 - ((e2 - 1) < 0);  // log10(2) = 0.30103
  while (x < pow10(k)) --k;
  while (x >= pow10(k + 1)) ++k;
  return k;
}

// x rounded to an integer (ties to even), for 0 <= x < 10^18.
long long whole(double x) {
  char t[fixed_max];
  const int n = format_fixed(x, 0, 0, t);
  long long v = 0;
  for (int i = 0; i < n; ++i)
    if (t[i] >= '0' && t[i] <= '9') v = 10 * v + (t[i] - '0');
  return v;
}

char* put(char* o, const char* text, int n) {
  std::memcpy(o, text, static_cast<std::size_t>(n));
  return o + n;
}
char* put_long(char* o, long long v) {
  char d[24];
  int n = 0;
  do d[n++] = static_cast<char>('0' + v % 10);
  while (v /= 10);
  while (n) *o++ = d[--n];
  return o;
}

}  // namespace

value_scan scan_value(const char* s) {
  const real_scan r = scan_real(s);
  value_scan v{r.got, r.value, 0, r.next, nullptr};
  if (r.got != scan_got::one || *r.next != '(') return v;
  const char* p = r.next + 1;
  unsigned long long u = 0;
  int digits = 0;
  for (; *p >= '0' && *p <= '9'; ++p, ++digits)
    if (digits < 18) u = 10 * u + static_cast<unsigned>(*p - '0');
  v.got = scan_got::none;
  if (digits == 0)
    v.why = *p == '-' || *p == '+' ? "an s.u. takes no sign"
                                   : "an s.u. needs digits in its parentheses";
  else if (*p != ')')
    v.why = "an s.u.'s parentheses must close";
  else if (digits > 18)
    v.why = "an s.u. of more than 18 digits";
  else if (!std::isfinite(r.value))
    v.why = "an s.u. belongs to a finite number";
  if (v.why) return v;
  // the number's decimals, and its exponent, as typed
  const char* q = s;
  while (is_space(*q)) ++q;
  long long decimals = 0, exponent = 0;
  bool point = false;
  for (; q < r.next && *q != 'e' && *q != 'E'; ++q) {
    if (*q == '.')
      point = true;
    else if (point && *q >= '0' && *q <= '9')
      ++decimals;
  }
  if (q < r.next) {
    const int_scan e = scan_integer(q + 1);
    exponent = e.value;
  }
  // u 10^(exponent - decimals), read back by the program's reader
  char t[48];
  char* o = put_long(t, static_cast<long long>(u));
  *o++ = 'e';
  const long long k = exponent - decimals;
  if (k < 0) *o++ = '-';
  o = put_long(o, k < 0 ? -k : k);
  *o = '\0';
  v.su = scan_real(t).value;
  v.got = scan_got::one;
  v.next = p + 1;
  return v;
}

int format_su(double value, double su, char (&out)[su_text_max]) {
  if (!(su > 0) || !std::isfinite(su) || !std::isfinite(value)) return 0;
  // the s.u.'s first two digits; a third place down if they round to 100
  int k = decade(su);
  long long two = whole(su / pow10(k - 1));
  if (two >= 100) {
    ++k;
    two = 10;
  }
  long long digits = two;
  int place = k - 1;
  if (two > 19) {  // one digit, or "10" when it rounds up to it
    digits = whole(su / pow10(k));
    place = k;
    // (a digit that rounds up to 10 is shown as the two digits "10")
  }
  char* o = out;
  char t[fixed_max];
  // Plain digits while they fit: at most 18 before the point and 9 after
  // it (format_fixed's most), and an s.u. of at most 18 digits, as it is
  // read back (2 and 16 zeros); a mantissa and an exponent past them.
  const bool plain = std::fabs(value) < 1e18 && place >= -9 && place <= 16;
  if (plain && place <= 0) {
    const int n = format_fixed(value, 0, -place, t);
    o = put(o, t, n);
  } else if (plain) {
    const long long n = whole(std::fabs(value) / pow10(place));
    if (std::signbit(value) && n) *o++ = '-';
    o = put_long(o, n);
    if (n)
      for (int i = 0; i < place; ++i) *o++ = '0';
  } else {
    // as CIF writes it
    // (a value below the s.u.'s last place, 0 among them, in its units)
    const int e =
        value != 0 ? std::max(decade(std::fabs(value)), place) : place;
    const int decimals = e - place;
    if (decimals > 9 || decimals < 0) return 0;
    const int n = format_fixed(value / pow10(e), 0, decimals, t);
    o = put(o, t, n);
    *o++ = 'e';
    if (e < 0) *o++ = '-';
    o = put_long(o, e < 0 ? -e : e);
  }
  *o++ = '(';
  o = put_long(o, digits);
  if (plain && place > 0)
    for (int i = 0; i < place; ++i) *o++ = '0';
  *o++ = ')';
  return static_cast<int>(o - out);
}
