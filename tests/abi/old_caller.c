/* A program built against 0.3's header (a copy of it as 0.3 shipped it)
** and run against this library: its calls keep working, its struct is
** never written past, and a size the library cannot fill is refused.
**   abi_old_caller (no arguments; linked with libdorvex.so) */
#include <stdio.h>
#include <string.h>

#include "dorvex-0.3.h"

/* what the present header declares, spelled out here since 0.3 lacks it */
int dorvex_convert_sized(int mode, int convention, const double in[6],
                         const double su[6], struct dorvex_result *out,
                         size_t size);

static const char report[] =
    "ABCDEF = \n"
    " 0.040749163 0.028956213 0.021273953-0.009065690-0.006139764 0.007163058\n"
    "Direct lattice a, b, c, alpha, beta, gamma =\n"
    "   5.0000   6.0000   7.0000  80.0000  85.0000  95.0000\n"
    "Recip lattice a*, b*, c*, alpha*, beta*, gamma* =\n"
    "   1.2684   1.0692   0.9164 100.5231  95.9848  84.0152\n";

int main(void) {
  const double cell[6] = {5, 6, 7, 80, 85, 95};
  /* the caller's struct, then bytes the library must leave alone */
  static struct {
    struct dorvex_result r;
    unsigned char after[4096];
  } mem;
  memset(&mem, 0xa5, sizeof mem);
  int failures = 0;
  char text[DORVEX_REPORT_MAX + 1];
  if (sizeof mem.r != 304 || dorvex_convert(DORVEX_DIRECT, cell, &mem.r) != 0 ||
      dorvex_report(&mem.r, text, sizeof text) != (int)strlen(report) ||
      strcmp(text, report) != 0) {
    fprintf(stderr, "0.3's dorvex_convert: not the worked example\n");
    ++failures;
  }
  const size_t sizes[] = {0, 200, 303, sizeof mem};
  for (size_t i = 0; i < sizeof sizes / sizeof sizes[0]; ++i)
    if (dorvex_convert_sized(DORVEX_DIRECT, 0, cell, NULL, &mem.r, sizes[i]) !=
        -3) {
      fprintf(stderr, "a struct of %zu bytes: not refused\n", sizes[i]);
      ++failures;
    }
  for (size_t k = 0; k < sizeof mem.after; ++k)
    if (mem.after[k] != 0xa5) {
      fprintf(stderr, "written past 0.3's struct, at byte %zu\n", k);
      ++failures;
      break;
    }
  double v = 0;
  if (dorvex_read_number("  -.5e1 ", &v) != 7 || v != -5) {
    fprintf(stderr, "0.3's dorvex_read_number: not 7 and -5\n");
    ++failures;
  }
  printf("a 0.3 caller against %s: %d failures\n", dorvex_version(), failures);
  return failures != 0;
}
