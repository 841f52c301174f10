/* Converts the direct cell 5 6 7 80 85 95 and prints the dorvex program's
** report of it, byte for byte; a domain error would be named on standard
** error. Against the installed library, with pkg-config:
**   cc examples/convert.c $(pkg-config --cflags --libs dorvex) -o convert
** or with CMake: cmake -S examples -B build/example (find_package). */
#include <dorvex.h>
#include <stdio.h>

int main(void) {
  const double cell[6] = {5, 6, 7, 80, 85, 95};
  struct dorvex_result r;
  char report[DORVEX_REPORT_MAX + 1];
  if (dorvex_convert(DORVEX_DIRECT, cell, &r) != 0) return 1;
  for (int k = 0; k < r.n_domain_errors; ++k)
    fprintf(stderr, "%s: DOMAIN error\n",
            dorvex_function_name(r.domain_errors[k].function));
  dorvex_report(&r, report, sizeof report);
  fputs(report, stdout);
  return 0;
}
