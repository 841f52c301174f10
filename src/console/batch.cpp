#include "console/batch.hpp"

#include <cstring>

#include "cell/cell.hpp"
#include "cell/derived.hpp"
#include "cell/uncertainty.hpp"
#include "console/dialogue.hpp"
#include "text/numtext.hpp"

namespace {

// The columns: the form, the direct cell, the reciprocal cell, V and V*.
constexpr const char* columns[20] = {"A",      "B",     "C",      "D",  "E",
                                     "F",      "a",     "b",      "c",  "alpha",
                                     "beta",   "gamma", "a*",     "b*", "c*",
                                     "alpha*", "beta*", "gamma*", "V",  "V*"};

// Text appended at o, at most up to end; returns the new end.
char* add(char* o, const char* end, const char* text) {
  while (*text && o < end) *o++ = *text++;
  return o;
}

// A piece of a bad line to quote: up to 20 bytes of its next word, with
// anything unprintable shown as '?'.
char* add_word(char* o, const char* end, const char* p) {
  o = add(o, end, "\"");
  for (int n = 0; *p && !is_space(*p) && n < 20 && o < end; ++p, ++n)
    *o++ = *p >= 0x20 && *p < 0x7f ? *p : '?';
  return add(o, end, "\"");
}

// "dorvex: NAME:LINE: text\n" in one write.
void say(outchan& err, const char* name, long long line, const char* text) {
  char b[512] = "";  // (GCC 12 at -O0 takes end for data read)
  const char* end = b + sizeof b - 1;
  char* o = add(b, end, "dorvex: ");
  o = add(o, end, name);
  if (line > 0) {
    char digits[24];
    digits[format_fixed(static_cast<double>(line), 1, 0, digits)] = '\0';
    o = add(add(o, end, ":"), end, digits);
  }
  o = add(add(add(o, end, ": "), end, text), end, "\n");
  put(err, b, static_cast<std::size_t>(o - b));
}

void put_value(outchan& out, double x, bool json) {
  char t[shortest_max];
  const int n = format_shortest(x, t);
  const bool word = json && (t[n - 1] == 'f' || t[n - 1] == 'n');
  if (word) put(out, "\"");  // JSON has no inf or nan: said as strings
  put(out, t, static_cast<std::size_t>(n));
  if (word) put(out, "\"");
}

// One value's place in a row: "," then, in JSON, its name.
void put_name(outchan& out, bool json, bool first, const char* name, bool su) {
  if (!first) put(out, ",");
  if (!json) return;
  put(out, su ? "\"u(" : "\"");
  put(out, name);
  put(out, su ? ")\":" : "\":");
}

// One row's twenty values, each with its s.u. after it in a run that has
// them, as a CSV line or a JSON object.
void put_row(outchan& out, const batch_options& o, bool with_su,
             const double (&v)[20], const double (&su)[20]) {
  if (o.json) put(out, "{");
  for (int i = 0; i < 20; ++i) {
    put_name(out, o.json, i == 0, columns[i], false);
    put_value(out, v[i], o.json);
    if (!with_su) continue;
    put_name(out, o.json, false, columns[i], true);
    put_value(out, su[i], o.json);
  }
  put(out, o.json ? "}\n" : "\n");
}

// The row's conversion: the form, the direct cell, the reciprocal cell in
// the convention asked, V and V*, and their s.u. from the row's; each
// domain error said.
void convert_row(const batch_options& o, const double (&row)[6],
                 const double (&row_su)[6], double (&v)[20], double (&su)[20],
                 outchan& err, const char* name, long long line) {
  const propagation p = propagate(o.mode, o.convention, row);
  for (int i = 0; i < 6; ++i) {
    su[i] = su_of(p.form[i], row_su);
    su[6 + i] = su_of(p.direct[i], row_su);
    su[12 + i] = su_of(p.recip[i], row_su);
  }
  su[18] = su_of(p.volume, row_su);
  su[19] = su_of(p.recip_volume, row_su);
  double given[6];
  for (int i = 0; i < 6; ++i) given[i] = row[i];
  if (o.mode == start::recip) recip_from(o.convention, given, given);
  conversion c;
  convert_cosines(o.mode, given, c);
  const metric m = metric_of(o.mode, given, c);
  convert_angles(c);
  double recip[6];
  recip_to(o.convention, c.recip, recip);
  for (int i = 0; i < 6; ++i) {
    v[i] = c.form[i];
    v[6 + i] = c.direct[i];
    v[12 + i] = recip[i];
  }
  v[18] = m.volume;
  v[19] = recip_volume(o.convention, m.volume);
  for (int k = 0; k < c.log.n; ++k) {
    char text[40] = "";
    std::strcat(text, domain_name(c.log.at[k].fn));
    std::strcat(text, ": DOMAIN error");
    say(err, name, line, text);
  }
}

}  // namespace

row_got read_row(const char* line, double (&v)[6], double (&su)[6],
                 char (&why)[why_max]) {
  const char* p = line;
  while (is_space(*p)) ++p;
  if (*p == '\0' || *p == '#') return row_got::none;
  const char* end = why + why_max - 1;
  char* o = why;
  for (int n = 0; n < 6; ++n) {
    const value_scan r = scan_value(p);
    if (r.got != scan_got::one && r.why) {
      while (is_space(*p)) ++p;
      o = add(add(add_word(o, end, p), end, ": "), end, r.why);
      *o = '\0';
      return row_got::bad;
    }
    if (r.got != scan_got::one) {
      while (is_space(*p)) ++p;
      if (*p == '\0' || *p == '#') {
        char digits[8];
        digits[format_fixed(n, 1, 0, digits)] = '\0';
        o = add(add(o, end, digits), end, " numbers where six are wanted");
      } else {
        o = add(add_word(o, end, p), end, " is not a number");
      }
      *o = '\0';
      return row_got::bad;
    }
    v[n] = r.value;
    su[n] = r.su;
    p = r.next;
  }
  while (is_space(*p)) ++p;
  if (*p == '\0' || *p == '#') return row_got::row;
  o = add(add_word(add(o, end, "six numbers, then "), end, p), end, "");
  *o = '\0';
  return row_got::bad;
}

void put_header(const batch_options& o, bool with_su, outchan& out) {
  if (o.json) return;
  for (int i = 0; i < 20; ++i) {
    if (i > 0) put(out, ",");
    put(out, columns[i]);
    if (!with_su) continue;
    put(out, ",u(");
    put(out, columns[i]);
    put(out, ")");
  }
  put(out, "\n");
}

bool convert_rows(inchan& in, const char* name, const batch_options& o,
                  batch_run& run, outchan& out, outchan& err) {
  bool ok = true;
  char bufr[line_max];
  long long line = 0;  // (long is 32 bits on Windows and i686)
  for (line_got got;
       !out.failed && (got = next_line(in, bufr)) != line_got::end;) {
    ++line;
    double row[6];
    char why[why_max];
    if (got == line_got::too_long) {
      say(err, name, line, "longer than 4095 characters");
      ok = false;
      continue;
    }
    double row_su[6];
    const row_got r = read_row(bufr, row, row_su, why);
    if (r == row_got::bad) {
      say(err, name, line, why);
      ok = false;
    } else if (r == row_got::row) {
      bool any_su = false;
      for (const double s : row_su) any_su = any_su || s > 0;
      if (!run.headed) {  // the first row says whether there are u() columns
        run.headed = true;
        run.with_su = any_su;
        put_header(o, run.with_su, out);
      } else if (any_su && !run.with_su) {
        say(err, name, line,
            "s.u. in a run whose first row had none: no column for them");
        ok = false;
      }
      double v[20], su[20];
      convert_row(o, row, row_su, v, su, err, name, line);
      put_row(out, o, run.with_su, v, su);
    }
  }
  if (in.error != 0) {
    char text[160] = "cannot read: ";
    std::strncat(text, error_text(in.error), sizeof text - 14);
    say(err, name, 0, text);
    ok = false;
  }
  return ok;
}
