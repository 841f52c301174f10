/*
** dorvex.h: converts a crystal lattice between its three descriptions,
** the direct cell, the reciprocal cell (2 pi convention) and the metric
** form 1/d^2 = A h^2 + B k^2 + C l^2 + D kl + E hl + F hk, with the digits
** of the dorvex program: the same doubles and the same report text.
**
** Every function is re-entrant and thread-safe: none keeps any state,
** allocates memory or does I/O. C and C++.
*/
#ifndef DORVEX_H
#define DORVEX_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

#define DORVEX_VERSION "0.3.0" /* the version of this header */

/* What the six numbers given to a conversion are (the program's menu). */
#define DORVEX_FORM 1   /* A, B, C, D, E, F of the metric form */
#define DORVEX_DIRECT 2 /* a, b, c, alpha, beta, gamma; angles in degrees */
#define DORVEX_RECIP 3  /* a*, b*, c*, alpha*, beta*, gamma*; 2 pi, degrees */

/* The function of a domain error: "sqrt" or "acos". */
#define DORVEX_SQRT 1
#define DORVEX_ACOS 2

/* The conversion step that made the failing call, in the order they run;
** the program writes the reports of DORVEX_FORM_TO_RECIP before its line
** "going to recipconv" and the others after it. Each step's calls of a
** function, counted from 0:
** - DORVEX_FORM_TO_RECIP (mode 1): the square roots of A, B, C;
** - DORVEX_RECIPCONV: of the squared volume, then of 1 - cos^2 of alpha,
**   beta, gamma of the cell it is given;
** - DORVEX_ANGLES: the arc cosines of alpha, alpha*, beta, beta*, gamma,
**   gamma*. */
#define DORVEX_FORM_TO_RECIP 1
#define DORVEX_RECIPCONV 2
#define DORVEX_ANGLES 3

/* At most 3 + 4 + 6 domain errors in one conversion. */
#define DORVEX_MAX_DOMAIN_ERRORS 13

/* One failed call of the square root or the arc cosine. */
struct dorvex_domain_error {
  int function; /* DORVEX_SQRT or DORVEX_ACOS */
  int step;     /* DORVEX_FORM_TO_RECIP, DORVEX_RECIPCONV, DORVEX_ANGLES */
  int call;     /* which of the step's calls of the function, from 0 */
};

/* What a conversion gives: every value as the program's report prints it,
** unrounded; NaN and infinities as the program carries them. */
struct dorvex_result {
  double form[6];      /* A, B, C, D, E, F */
  double direct[6];    /* a, b, c, alpha, beta, gamma; angles in degrees */
  double recip[6];     /* a*, b*, c*, alpha*, beta*, gamma*; 2 pi, degrees */
  int n_domain_errors; /* how many of domain_errors are used */
  /* in the order they arose */
  struct dorvex_domain_error domain_errors[DORVEX_MAX_DOMAIN_ERRORS];
};

/* Converts the six numbers in (mode DORVEX_FORM, DORVEX_DIRECT or
** DORVEX_RECIP) into *out; returns 0, or -1 for another mode, leaving *out
** untouched. in may point into *out. */
int dorvex_convert(int mode, const double in[6], struct dorvex_result *out);

/* Converts n rows of six numbers (in[6 i] to in[6 i + 5]) at once: row i's
** form, direct and reciprocal cell into form, direct and recip at 6 i, its
** count of domain errors into n_domain_errors[i] unless that is NULL.
** Returns 0, or -1 for a mode other than 1, 2 or 3, writing nothing. */
int dorvex_convert_many(int mode, size_t n, const double *in, double *form,
                        double *direct, double *recip, int *n_domain_errors);

/* Writes the program's report of *r ("ABCDEF = " to its last newline) into
** buf, at most size bytes with the terminating NUL; returns its length
** without the NUL, as snprintf does: the text was cut if that is size or
** more. Never more than DORVEX_REPORT_MAX. buf may be NULL when size is 0. */
int dorvex_report(const struct dorvex_result *r, char *buf, size_t size);

/* No report is longer: three headers and eighteen values of at most 320
** characters, each cell value after a blank. */
#define DORVEX_REPORT_MAX 5880

/* Reads one number from text as the program reads an answer: blanks first
** (TAB LF VT FF CR SPACE), then a decimal number, or +INF -INF +NAN -NAN;
** 19 significant digits count; out of range, the largest double or zero.
** Returns how many characters the blanks and the number took, with the
** value in *value; 0 when no number stands there. text ends at its NUL. */
int dorvex_read_number(const char *text, double *value);

/* A domain error's function as the program names it: "sqrt" or "acos";
** NULL for another value. */
const char *dorvex_function_name(int function);

/* The version of the library: DORVEX_VERSION of the build it came from. */
const char *dorvex_version(void);

#ifdef __cplusplus
}
#endif

#endif /* DORVEX_H */
