/* The C API against the golden transcripts: for every record that reaches
** a report, the request the dialogue accepted (transcripts --requests)
** converted by dorvex_convert must give the record's report bytes and its
** domain reports in order, dorvex_convert_many the same values, and
** dorvex_report must cut as snprintf does. Plain C, so the header is held
** to C as well.
**   api_test REQUESTS-FILE */
#include <dorvex.h>
#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int failures;

/* What src/api/layout.cpp tells the JavaScript API of the struct. */
size_t dorvex_layout_result_size(void);
size_t dorvex_layout_errors_at(void);
size_t dorvex_layout_error_size(void);
size_t dorvex_layout_report_max(void);

#define MAX_ROWS 4096
static struct batch {
  size_t n;
  double in[6 * MAX_ROWS];
  struct dorvex_result one[MAX_ROWS];
} batches[3];

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
  struct dorvex_result r;
  if (dorvex_convert(atoi(mode), in, &r) != 0) fail(name, "refused");
  static char want[DORVEX_REPORT_MAX + 1], got[DORVEX_REPORT_MAX + 1];
  unescape(report, want);
  const int n = dorvex_report(&r, got, sizeof got);
  if (n != (int)strlen(want) || strcmp(got, want) != 0)
    fail(name, "report differs");
  char names[400] = "";
  for (int k = 0; k < r.n_domain_errors; ++k) {
    const struct dorvex_domain_error *e = &r.domain_errors[k];
    snprintf(names + strlen(names), sizeof names - strlen(names), "%s%s:%s:%d",
             k ? "," : "", dorvex_function_name(e->function),
             dorvex_step_name(e->step), e->call);
  }
  if (strcmp(names, errors) != 0) fail(name, "domain errors differ");
  /* kept by mode, for one dorvex_convert_many of them all */
  struct batch *b = &batches[atoi(mode) - 1];
  if (b->n < MAX_ROWS) {
    memcpy(b->in + 6 * b->n, in, sizeof in);
    b->one[b->n++] = r;
  }
}

/* Every request of a mode through one dorvex_convert_many: the same values
** as one conversion each. */
static void check_batches(void) {
  static double form[6 * MAX_ROWS], direct[6 * MAX_ROWS], recip[6 * MAX_ROWS];
  static int counts[MAX_ROWS];
  for (int m = 0; m < 3; ++m) {
    const struct batch *b = &batches[m];
    if (dorvex_convert_many(m + 1, b->n, b->in, form, direct, recip, counts) !=
        DORVEX_OK)
      fail("dorvex_convert_many", "refused");
    for (size_t i = 0; i < b->n; ++i)
      for (int k = 0; k < 6; ++k)
        if (!same(form[6 * i + k], b->one[i].form[k]) ||
            !same(direct[6 * i + k], b->one[i].direct[k]) ||
            !same(recip[6 * i + k], b->one[i].recip[k]) ||
            counts[i] != b->one[i].n_domain_errors)
          fail("dorvex_convert_many", "differs from dorvex_convert");
  }
}

/* The rules no record shows: bad modes and pointers, overlapping rows, the
** report's buffer at and around its length, the reader's edges. */
static void check_edges(void) {
  const double cell[6] = {5, 6, 7, 80, 85, 95};
  struct dorvex_result r;
  memset(&r, 0x5a, sizeof r);
  const struct dorvex_result untouched = r;
  const struct {
    const char *what;
    int status, want;
  } calls[] = {
      {"mode 0", dorvex_convert(0, cell, &r), DORVEX_E_MODE},
      {"mode 4", dorvex_convert(4, cell, &r), DORVEX_E_MODE},
      {"in NULL", dorvex_convert(DORVEX_DIRECT, NULL, &r), DORVEX_E_NULL},
      {"out NULL", dorvex_convert_sized(0, cell, NULL, sizeof r),
       DORVEX_E_NULL},
      {"size of 0.3 less one", dorvex_convert_sized(2, cell, &r, 303),
       DORVEX_E_SIZE},
      {"size of a later struct",
       dorvex_convert_sized(2, cell, &r, sizeof r + 8), DORVEX_E_SIZE},
      {"many, mode 4",
       dorvex_convert_many(4, 1, cell, r.form, r.direct, r.recip, NULL),
       DORVEX_E_MODE},
      {"many, form NULL",
       dorvex_convert_many(2, 1, cell, NULL, r.direct, r.recip, NULL),
       DORVEX_E_NULL},
      {"many, n past memory",
       dorvex_convert_many(2, SIZE_MAX / 6 + 2, cell, r.form, r.direct, r.recip,
                           NULL),
       DORVEX_E_RANGE},
      {"report of NULL", dorvex_report(NULL, NULL, 0), DORVEX_E_NULL},
      {"report into NULL", dorvex_report(&untouched, NULL, 1), DORVEX_E_NULL},
  };
  for (size_t i = 0; i < sizeof calls / sizeof calls[0]; ++i)
    if (calls[i].status != calls[i].want ||
        !dorvex_status_text(calls[i].status))
      fail(calls[i].what, "not refused with its status");
  if (memcmp(&r, &untouched, sizeof r) != 0) fail("refusals", "result touched");

  /* Rows one row apart, in place, and a count inside the rows: the
  ** outputs one row ahead of the input are refused, in place converts. */
  static double rows[8 * 6], form[7 * 6], direct[7 * 6];
  for (int i = 0; i < 8 * 6; ++i) rows[i] = cell[i % 6] + i / 6;
  double want[7 * 6];
  if (dorvex_convert_many(2, 7, rows, form, direct, want, NULL) != DORVEX_OK)
    fail("many, apart", "refused");
  const struct {
    const char *what;
    double *in, *form, *direct, *recip;
    int *counts, status;
  } layouts[] = {
      {"ahead by a row", rows, rows + 6, direct, form, NULL, DORVEX_E_OVERLAP},
      {"behind by a row", rows + 6, rows, direct, form, NULL, DORVEX_E_OVERLAP},
      {"two outputs the same", rows, form, form, direct, NULL,
       DORVEX_E_OVERLAP},
      {"counts in the input", rows, form, direct, rows + 36, (int *)rows,
       DORVEX_E_OVERLAP},
      {"recip in place", rows, form, direct, rows, NULL, DORVEX_OK},
  };
  for (size_t i = 0; i < sizeof layouts / sizeof layouts[0]; ++i)
    if (dorvex_convert_many(2, 7, layouts[i].in, layouts[i].form,
                            layouts[i].direct, layouts[i].recip,
                            layouts[i].counts) != layouts[i].status)
      fail(layouts[i].what, "overlap not as the header says");
  for (int i = 0; i < 7 * 6; ++i)
    if (!same(rows[i], want[i])) fail("recip in place", "rows differ");

  dorvex_convert(DORVEX_DIRECT, cell, &r);
  char whole[DORVEX_REPORT_MAX + 1], cut[DORVEX_REPORT_MAX + 2];
  const int n = dorvex_report(&r, whole, sizeof whole);
  /* buffer sizes: as snprintf cuts, never a byte past size */
  const size_t sizes[] = {1, 10, (size_t)n - 1, (size_t)n, (size_t)n + 1};
  for (size_t i = 0; i < sizeof sizes / sizeof sizes[0]; ++i) {
    memset(cut, '#', sizeof cut);
    const size_t kept = sizes[i] - 1;
    if (dorvex_report(&r, cut, sizes[i]) != n || strlen(cut) != kept ||
        strncmp(cut, whole, kept) != 0 || cut[sizes[i]] != '#')
      fail("dorvex_report", "not cut as snprintf cuts");
  }
  if (dorvex_report(&r, NULL, 0) != n)
    fail("dorvex_report, 0 bytes", "wrong length");
  const struct {
    const char *text;
    size_t used;
    double value;
  } reads[] = {
      {" \t-.5e1x", 7, -5},  {"  ", 0, 0}, {"inf", 0, 0},         {"  x", 0, 0},
      {"+INF", 4, HUGE_VAL}, {"5x", 1, 5}, {"\v\f\r 80 ", 6, 80},
  };
  for (size_t i = 0; i < sizeof reads / sizeof reads[0]; ++i) {
    double v = 0;
    if (dorvex_read_number(reads[i].text, &v) != reads[i].used ||
        (reads[i].used && v != reads[i].value))
      fail(reads[i].text, "not the program's reading");
  }
  double v;
  if (dorvex_read_number(NULL, &v) != 0 || dorvex_read_number("5", NULL) != 0)
    fail("dorvex_read_number of NULL", "not 0");
  if (dorvex_layout_result_size() != sizeof(struct dorvex_result) ||
      dorvex_layout_errors_at() !=
          offsetof(struct dorvex_result, n_domain_errors) ||
      dorvex_layout_error_size() != sizeof(struct dorvex_domain_error) ||
      dorvex_layout_report_max() != DORVEX_REPORT_MAX)
    fail("the layout given to JavaScript", "not the C compiler's");
  if (strcmp(dorvex_version(), DORVEX_VERSION) != 0 ||
      dorvex_version_number() != DORVEX_VERSION_NUMBER ||
      dorvex_function_name(0) || dorvex_step_name(4) || dorvex_status_text(1))
    fail("dorvex_version, the names of no value", "wrong");
}

/* A number after 2^31 + 15 blanks: its length needs more than an int. */
static int read_past_2gib(void) {
  const size_t at = ((size_t)1 << 31) + 15;
  char *text = malloc(at + 2);
  if (!text) return 1;
  memset(text, ' ', at);
  text[at] = '5';
  text[at + 1] = '\0';
  double v = 0;
  const size_t used = dorvex_read_number(text, &v);
  free(text);
  printf("a number after %zu blanks: %zu bytes used, value %g\n", at, used, v);
  return used == at + 1 && v == 5 ? 0 : 1;
}

int main(int argc, char **argv) {
  if (argc == 2 && strcmp(argv[1], "--past-2gib") == 0)
    return sizeof(size_t) > 4 ? read_past_2gib() : 0;
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
  check_batches();
  check_edges();
  printf("%ld golden requests through the C API, %d failures\n", n, failures);
  return n > 2000 && failures == 0 ? 0 : 1;
}
