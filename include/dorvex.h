/*
** dorvex.h: converts a crystal lattice between its three descriptions,
** the direct cell, the reciprocal cell (2 pi convention) and the metric
** form 1/d^2 = A h^2 + B k^2 + C l^2 + D kl + E hl + F hk, with the digits
** of the dorvex program: the same doubles and the same report text.
**
** Every function is re-entrant and thread-safe: none keeps any state,
** allocates memory or does I/O. C and C++.
**
** Growing without breaking a caller: struct dorvex_result only ever gains
** fields at its end, and dorvex_convert passes the library the size of the
** struct the caller was compiled with (as zlib's deflateInit passes
** sizeof(z_stream)). The library writes only the fields that lie within
** that size, and refuses a size it cannot fill (DORVEX_E_SIZE), so neither
** an older caller nor a newer one is ever written past. A program built
** against 0.3, which calls the exported dorvex_convert with no size, gets
** 0.3's fields alone. The soname stays libdorvex.so.0 while every change
** is an addition of this kind; a change that removes or moves anything
** takes libdorvex.so.1.
*/
#ifndef DORVEX_H
#define DORVEX_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

#define DORVEX_VERSION "0.4.0" /* the version of this header */
/* The same as a number to compare with #if: major * 1000000 + minor * 1000
** + patch. */
#define DORVEX_VERSION_NUMBER 4000

/* What the functions return: 0 or a length, or one of these below 0. */
enum dorvex_status {
  DORVEX_OK = 0,
  DORVEX_E_MODE = -1,    /* a mode other than those of enum dorvex_mode */
  DORVEX_E_NULL = -2,    /* NULL where a value must be read or written */
  DORVEX_E_SIZE = -3,    /* a struct size this library cannot fill */
  DORVEX_E_OVERLAP = -4, /* arrays that overlap other than as allowed */
  DORVEX_E_RANGE = -5    /* more rows than memory can address */
};

/* What the six numbers given to a conversion are (the program's menu). */
enum dorvex_mode {
  DORVEX_FORM = 1,   /* A, B, C, D, E, F of the metric form */
  DORVEX_DIRECT = 2, /* a, b, c, alpha, beta, gamma; angles in degrees */
  DORVEX_RECIP = 3   /* a*, b*, c*, alpha*, beta*, gamma*; 2 pi, degrees */
};

/* The function of a domain error. */
enum dorvex_function { DORVEX_SQRT = 1, DORVEX_ACOS = 2 };

/* The conversion step that made the failing call, in the order they run;
** the program writes the reports of DORVEX_STEP_FORM_TO_RECIP before its
** line "going to recipconv" and the others after it. Each step's calls of
** a function, counted from 0:
** - DORVEX_STEP_FORM_TO_RECIP (mode 1): the square roots of A, B, C;
** - DORVEX_STEP_RECIPCONV: of the squared volume, then of 1 - cos^2 of
**   alpha, beta, gamma of the cell it is given;
** - DORVEX_STEP_ANGLES: the arc cosines of alpha, alpha*, beta, beta*,
**   gamma, gamma*. */
enum dorvex_step {
  DORVEX_STEP_FORM_TO_RECIP = 1,
  DORVEX_STEP_RECIPCONV = 2,
  DORVEX_STEP_ANGLES = 3
};
/* 0.3's names of the steps. */
#define DORVEX_FORM_TO_RECIP DORVEX_STEP_FORM_TO_RECIP
#define DORVEX_RECIPCONV DORVEX_STEP_RECIPCONV
#define DORVEX_ANGLES DORVEX_STEP_ANGLES

/* At most 3 + 4 + 6 domain errors in one conversion. */
#define DORVEX_MAX_DOMAIN_ERRORS 13

/* One failed call of the square root or the arc cosine. */
struct dorvex_domain_error {
  int function; /* enum dorvex_function */
  int step;     /* enum dorvex_step */
  int call;     /* which of the step's calls of the function, from 0 */
};

/* What a conversion gives: every value as the program's report prints it,
** unrounded; NaN and infinities as the program carries them. New fields
** come only at the end. */
struct dorvex_result {
  double form[6];      /* A, B, C, D, E, F */
  double direct[6];    /* a, b, c, alpha, beta, gamma; angles in degrees */
  double recip[6];     /* a*, b*, c*, alpha*, beta*, gamma*; 2 pi, degrees */
  int n_domain_errors; /* how many of domain_errors are used */
  /* in the order they arose */
  struct dorvex_domain_error domain_errors[DORVEX_MAX_DOMAIN_ERRORS];
};

/* Converts the six numbers in (enum dorvex_mode) into *out, whose size the
** caller gives (dorvex_convert gives sizeof *out). Returns DORVEX_OK;
** DORVEX_E_MODE, DORVEX_E_NULL (in or out NULL) or DORVEX_E_SIZE (smaller
** than 0.3's struct, or larger than this library's), leaving *out
** untouched. in may point into *out. */
int dorvex_convert_sized(int mode, const double in[6],
                         struct dorvex_result *out, size_t size);
#define dorvex_convert(mode, in, out) \
  dorvex_convert_sized((mode), (in), (out), sizeof *(out))

/* Converts n rows of six numbers (in[6 i] to in[6 i + 5]) at once: row i's
** form, direct and reciprocal cell into form, direct and recip at 6 i, its
** count of domain errors into n_domain_errors[i] unless that is NULL.
** Each of form, direct and recip may be in itself (converted in place) or
** lie apart from it; no two outputs may share memory. Returns DORVEX_OK,
** or DORVEX_E_MODE, DORVEX_E_NULL (in, form, direct or recip NULL with n >
** 0), DORVEX_E_OVERLAP or DORVEX_E_RANGE (6 n doubles past the address
** space), writing nothing. */
int dorvex_convert_many(int mode, size_t n, const double *in, double *form,
                        double *direct, double *recip, int *n_domain_errors);

/* Writes the program's report of *r ("ABCDEF = " to its last newline) into
** buf, at most size bytes with the terminating NUL; returns its length
** without the NUL, as snprintf does: the text was cut if that is size or
** more. Never more than DORVEX_REPORT_MAX. buf may be NULL when size is 0.
** Returns DORVEX_E_NULL for r NULL, or buf NULL with size > 0. */
int dorvex_report(const struct dorvex_result *r, char *buf, size_t size);

/* No report is longer: three headers and eighteen values of at most 320
** characters, each cell value after a blank. */
#define DORVEX_REPORT_MAX 5880

/* Reads one number from text as the program reads an answer: blanks first
** (TAB LF VT FF CR SPACE), then a decimal number, or +INF -INF +NAN -NAN;
** 19 significant digits count; out of range, the largest double or zero.
** Returns how many bytes the blanks and the number took, with the value in
** *value; 0 when no number stands there, or text or value is NULL. What
** follows the number is not looked at: the caller decides whether text
** must end there. text ends at its NUL. */
size_t dorvex_read_number(const char *text, double *value);

/* A domain error's function as the program names it, "sqrt" or "acos";
** its step as "form_to_recip", "recipconv" or "angles"; NULL for another
** value. */
const char *dorvex_function_name(int function);
const char *dorvex_step_name(int step);

/* What a status means, in a few words ("bad mode", ...); NULL for a value
** that is no status. */
const char *dorvex_status_text(int status);

/* The version of the library: DORVEX_VERSION and DORVEX_VERSION_NUMBER of
** the build it came from. */
const char *dorvex_version(void);
int dorvex_version_number(void);

#ifdef __cplusplus
}
#endif

#endif /* DORVEX_H */
