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

/* What src/api/layout.cpp tells the JavaScript API of the structs. */
size_t dorvex_layout_offset(const char *name);
size_t dorvex_layout_size(const char *name);

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
  static double volume[MAX_ROWS], recip_volume[MAX_ROWS];
  static int counts[MAX_ROWS];
  for (int m = 0; m < 3; ++m) {
    const struct batch *b = &batches[m];
    /* convention 1 for modes 1 and 2, whose input it leaves alone */
    const int c = m + 1 == DORVEX_RECIP ? DORVEX_2PI : DORVEX_1;
    if (dorvex_convert_many_as(m + 1, c, b->n, b->in, form, direct, recip,
                               volume, recip_volume, counts) != DORVEX_OK)
      fail("dorvex_convert_many_as", "refused");
    for (size_t i = 0; i < b->n; ++i) {
      const struct dorvex_result *one = &b->one[i];
      const double *want = c == DORVEX_1 ? one->recip_1 : one->recip;
      for (int k = 0; k < 6; ++k)
        if (!same(recip[6 * i + k], want[k]) || !same(volume[i], one->volume) ||
            !same(recip_volume[i],
                  c == DORVEX_1 ? one->recip_volume_1 : one->recip_volume))
          fail("dorvex_convert_many_as", "differs from dorvex_convert");
    }
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

/* The values that follow a conversion: what each refusal of the reflections
** says, the conventions' round trip, the lines' wavelengths. */
static void check_derived(void) {
  const double cell[6] = {5.6402, 5.6402, 5.6402, 90, 90, 90};
  const double no_cell[6] = {5, 5, 5, 10, 10, 170};
  struct dorvex_result r, none;
  dorvex_convert(DORVEX_DIRECT, cell, &r);
  dorvex_convert(DORVEX_DIRECT, no_cell, &none);
  struct dorvex_reflection list[400];
  const struct {
    const char *what;
    ptrdiff_t got, want;
  } calls[] = {
      {"NaCl to 1 Å", dorvex_reflections(&r, 1, 1.5, list, 400), 369},
      {"NaCl to 1 Å, counted", dorvex_reflections(&r, 1, 1.5, NULL, 0), 369},
      {"NaCl to 1 Å, too little room",
       dorvex_reflections(&r, 1, 1.5, list, 368), 369},
      {"d_min 0", dorvex_reflections(&r, 0, 1.5, list, 400), DORVEX_E_VALUE},
      {"d_min NaN", dorvex_reflections(&r, NAN, 1.5, list, 400),
       DORVEX_E_VALUE},
      {"wavelength -1", dorvex_reflections(&r, 1, -1, list, 400),
       DORVEX_E_VALUE},
      {"no cell", dorvex_reflections(&none, 1, 1.5, list, 400), DORVEX_E_CELL},
      {"d_min 1e-3", dorvex_reflections(&r, 1e-3, 1.5, NULL, 0),
       DORVEX_E_RANGE},
      {"r NULL", dorvex_reflections(NULL, 1, 1.5, list, 400), DORVEX_E_NULL},
      {"convention 2", dorvex_convert_as(DORVEX_DIRECT, 2, cell, &r),
       DORVEX_E_VALUE},
  };
  for (size_t i = 0; i < sizeof calls / sizeof calls[0]; ++i)
    if (calls[i].got != calls[i].want) fail(calls[i].what, "not as documented");
  /* the list: by d descending, Friedel mates once, (1 1 1) where Bragg
  ** puts it for Cu K alpha1 */
  const double lambda = dorvex_wavelength("CuKa1");
  dorvex_reflections(&r, 1, lambda, list, 400);
  int found = 0;
  for (int i = 0; i < 369; ++i) {
    const struct dorvex_reflection *x = &list[i];
    if (i > 0 && !(list[i - 1].d >= x->d)) fail("reflections", "not by d");
    if (x->h < 0 || (x->h == 0 && (x->k < 0 || (x->k == 0 && x->l <= 0))))
      fail("reflections", "a Friedel mate, or 0 0 0");
    if (x->h == 1 && x->k == 1 && x->l == 1)
      found = fabs(x->two_theta - 27.3655) < 1e-3 && fabs(x->d - 3.2564) < 1e-3;
  }
  if (!found) fail("reflection 1 1 1 of NaCl", "not at 27.3655 degrees");
  /* a* without 2 pi given back gives the cell; V* is 1/V */
  struct dorvex_result back;
  dorvex_convert_as(DORVEX_RECIP, DORVEX_1, r.recip_1, &back);
  if (fabs(back.direct[0] - 5.6402) > 1e-6 ||
      fabs(r.recip_1[0] * 5.6402 - 1) > 1e-6 ||
      fabs(r.recip_volume_1 * r.volume - 1) > 1e-15 ||
      fabs(r.volume - 179.425230) > 1e-5)
    fail("convention 1", "not a* = 1/a");
  if (!isnan(none.volume) || !isnan(none.recip_volume))
    fail("the volume of no cell", "not NaN");
  double lambda_of = 0;
  int lines = 0;
  for (const char *name; (name = dorvex_xray_line(lines, &lambda_of)); ++lines)
    if (dorvex_wavelength(name) != lambda_of) fail(name, "not its wavelength");
  if (lines < 19 || !isnan(dorvex_wavelength("CuKz")) ||
      dorvex_xray_line(-1, NULL))
    fail("the X-ray lines", "wrong");
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
      {"out NULL",
       dorvex_convert_sized(0, DORVEX_2PI, cell, NULL, NULL, sizeof r),
       DORVEX_E_NULL},
      {"size of 0.3 less one",
       dorvex_convert_sized(2, DORVEX_2PI, cell, NULL, &r, 303), DORVEX_E_SIZE},
      {"size of a later struct",
       dorvex_convert_sized(2, DORVEX_2PI, cell, NULL, &r, sizeof r + 8),
       DORVEX_E_SIZE},
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
  check_derived();
  /* every field and size JavaScript asks for, as the C compiler lays it */
#define AT(type, field) \
  { #type "." #field, offsetof(struct type, field) }
  const struct {
    const char *name;
    size_t at;
  } fields[] = {
      AT(dorvex_result, form),
      AT(dorvex_result, direct),
      AT(dorvex_result, recip),
      AT(dorvex_result, n_domain_errors),
      AT(dorvex_result, domain_errors),
      AT(dorvex_result, volume),
      AT(dorvex_result, recip_volume),
      AT(dorvex_result, recip_1),
      AT(dorvex_result, recip_volume_1),
      AT(dorvex_result, metric),
      AT(dorvex_result, form_su),
      AT(dorvex_result, direct_su),
      AT(dorvex_result, recip_su),
      AT(dorvex_result, recip_1_su),
      AT(dorvex_result, volume_su),
      AT(dorvex_result, recip_volume_su),
      AT(dorvex_result, recip_volume_1_su),
      AT(dorvex_result, mode),
      AT(dorvex_result, convention),
      AT(dorvex_result, given),
      AT(dorvex_result, given_su),
      AT(dorvex_reflection, h),
      AT(dorvex_reflection, k),
      AT(dorvex_reflection, l),
      AT(dorvex_reflection, d),
      AT(dorvex_reflection, two_theta),
      AT(dorvex_reflection, d_su),
      AT(dorvex_reflection, two_theta_su),
  };

#undef AT
  for (size_t i = 0; i < sizeof fields / sizeof fields[0]; ++i)
    if (dorvex_layout_offset(fields[i].name) != fields[i].at)
      fail(fields[i].name, "not where the C compiler puts it");
  if (dorvex_layout_size("dorvex_result") != sizeof(struct dorvex_result) ||
      dorvex_layout_size("dorvex_domain_error") !=
          sizeof(struct dorvex_domain_error) ||
      dorvex_layout_size("dorvex_reflection") !=
          sizeof(struct dorvex_reflection) ||
      dorvex_layout_size("DORVEX_REPORT_MAX") != DORVEX_REPORT_MAX ||
      dorvex_layout_offset("dorvex_result.none") != (size_t)-1)
    fail("the sizes given to JavaScript", "not the C compiler's");
  if (strcmp(dorvex_version(), DORVEX_VERSION) != 0 ||
      dorvex_version_number() != DORVEX_VERSION_NUMBER ||
      dorvex_function_name(0) || dorvex_step_name(4) || dorvex_status_text(1))
    fail("dorvex_version, the names of no value", "wrong");
}

/* A number after 2^31 + 15 blanks: its length needs more than an int.
** (Where size_t has 32 bits, no such text fits in memory.) */
static int read_past_2gib(void) {
#if SIZE_MAX > 0xffffffffu
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
#else
  return 0;
#endif
}

int main(int argc, char **argv) {
  if (argc == 2 && strcmp(argv[1], "--past-2gib") == 0) return read_past_2gib();
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
