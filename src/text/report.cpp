#include "text/report.hpp"

namespace {

// Appends text (without its NUL) at o, returns the end.
char* add(char* o, const char* text) {
  while (*text) *o++ = *text++;
  return o;
}

// Six values, each with " %8.4lf".
char* add_cell(char* o, const CellParams& cell) {
  for (const double x : cell) {
    *o++ = ' ';
    o += format_fixed(x, 8, 4, o);
  }
  return o;
}

}  // namespace

int report_text(const MetricForm& form, const CellParams& direct,
                const CellParams& recip, char (&out)[report_max]) {
  // Each format_fixed writes at most fixed_max characters, which the room
  // left always holds: report_max counts every one at its longest.
  char* o = add(out, "ABCDEF = \n");
  for (const double x : form)
    // cppcheck-suppress useStlAlgorithm
    o += format_fixed(x, 12, 9, o);
  o = add(o, "\nDirect lattice a, b, c, alpha, beta, gamma =\n");
  o = add_cell(o, direct);
  o = add(o, "\nRecip lattice a*, b*, c*, alpha*, beta*, gamma* =\n");
  o = add_cell(o, recip);
  o = add(o, "\n");
  return static_cast<int>(o - out);
}

void domain_text(domain_fn fn, char (&out)[domain_text_len]) {
  char* o = add(out, "\n");
  o = add(o, domain_name(fn));
  add(o, ": DOMAIN error\n");
}
