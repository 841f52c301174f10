/* The C API against the golden transcripts: for every record that reaches
** a report, the request the dialogue accepted (transcripts --requests)
** converted by dorvex_convert must give the record's report bytes and its
** domain reports in order, dorvex_convert_many the same values, and
** dorvex_report must cut as snprintf does. Plain C, so the header is held
** to C as well.
**   api_test REQUESTS-FILE */
#include <dorvex.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int failures;

static void fail(const char *name, const char *what) {
  if (failures++ < 5) fprintf(stderr, "%s: %s\n", name, what);
}

/* The record's report, its escapes (only \n and \\ occur) undone. */
static void unescape(const char *s, char *out) {
  for (; *s; ++s)
    *out++ = s[0] == '\\' && s[1] ? (++s, *s == 'n' ? '\n' : *s) : *s;
  *out = '\0';
}

static double from_bits(const char *hex) {
  const uint64_t bits = strtoull(hex, NULL, 16);
  double x;
  memcpy(&x, &bits, sizeof x);
  return x;
}

static int same(double a, double b) {
  return memcmp(&a, &b, sizeof a) == 0;
}

static void check_request(char *line) {
  char *field[5] = {line}; /* name, mode, bits, errors, report */
  for (int k = 1; k < 5; ++k) {
    char *tab = field[k - 1] ? strchr(field[k - 1], '\t') : NULL;
    if (tab) *tab = '\0';
    field[k] = tab ? tab + 1 : NULL;
  }
  if (!field[4]) {
    fail(line, "not a request");
    return;
  }
  field[4][strcspn(field[4], "\n")] = '\0';
  const char *name = field[0], *mode = field[1], *bits = field[2],
             *errors = field[3], *report = field[4];
  double in[6];
  for (int k = 0; k < 6; ++k) in[k] = from_bits(bits + 17 * k);
  struct dorvex_result r, many;
  if (dorvex_convert(atoi(mode), in, &r) != 0) fail(name, "refused");
  static char want[DORVEX_REPORT_MAX + 1], got[DORVEX_REPORT_MAX + 1];
  unescape(report, want);
  const int n = dorvex_report(&r, got, sizeof got);
  if (n != (int)strlen(want) || strcmp(got, want) != 0)
    fail(name, "report differs");
  char names[200] = "";
  for (int k = 0; k < r.n_domain_errors; ++k) {
    strcat(names, k ? "," : "");
    strcat(names, dorvex_function_name(r.domain_errors[k].function));
  }
  if (strcmp(names, errors) != 0) fail(name, "domain errors differ");
  int count;
  dorvex_convert_many(atoi(mode), 1, in, many.form, many.direct, many.recip,
                      &count);
  for (int k = 0; k < 6; ++k)
    if (!same(many.form[k], r.form[k]) || !same(many.direct[k], r.direct[k]) ||
        !same(many.recip[k], r.recip[k]) || count != r.n_domain_errors)
      fail(name, "dorvex_convert_many differs");
}

/* The rules no record shows: a bad mode, a short buffer. */
static void check_edges(void) {
  const double cell[6] = {5, 6, 7, 80, 85, 95};
  struct dorvex_result r;
  memset(&r, 0x5a, sizeof r);
  const struct dorvex_result untouched = r;
  if (dorvex_convert(0, cell, &r) >= 0 || dorvex_convert(4, cell, &r) >= 0 ||
      memcmp(&r, &untouched, sizeof r) != 0)
    fail("mode 0 and 4", "not refused, or the result touched");
  if (dorvex_convert_many(4, 1, cell, r.form, r.direct, r.recip, NULL) >= 0)
    fail("dorvex_convert_many, mode 4", "not refused");
  dorvex_convert(DORVEX_DIRECT, cell, &r);
  char whole[DORVEX_REPORT_MAX + 1], cut[12];
  memset(cut, '#', sizeof cut);
  const int n = dorvex_report(&r, whole, sizeof whole);
  if (dorvex_report(&r, cut, 10) != n || strlen(cut) != 9 ||
      strncmp(cut, whole, 9) != 0 || cut[10] != '#')
    fail("dorvex_report, 10 bytes", "not cut as snprintf cuts");
  if (dorvex_report(&r, NULL, 0) != n)
    fail("dorvex_report, 0 bytes", "wrong length");
  double v = 0;
  if (dorvex_read_number(" \t-.5e1x", &v) != 7 || v != -5 ||
      dorvex_read_number("  ", &v) != 0 || dorvex_read_number("inf", &v) != 0 ||
      dorvex_read_number("+INF", &v) != 4 || v <= 1e308)
    fail("dorvex_read_number", "not the program's reading");
  if (strcmp(dorvex_version(), DORVEX_VERSION) != 0 || dorvex_function_name(0))
    fail("dorvex_version, dorvex_function_name(0)", "wrong");
}

int main(int argc, char **argv) {
  FILE *f = argc == 2 ? fopen(argv[1], "r") : NULL;
  if (!f) {
    fprintf(stderr, "usage: api_test REQUESTS-FILE\n");
    return 2;
  }
  static char line[16384];
  long n = 0;
  while (fgets(line, sizeof line, f)) {
    check_request(line);
    ++n;
  }
  fclose(f);
  check_edges();
  printf("%ld golden requests through the C API, %d failures\n", n, failures);
  return n > 2000 && failures == 0 ? 0 : 1;
}
