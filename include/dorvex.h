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
  DORVEX_E_RANGE = -5,   /* more rows, or reflections, than can be had */
  DORVEX_E_VALUE = -6,   /* a convention, d_min or wavelength out of range */
  DORVEX_E_CELL = -7     /* no such cell: its values are NaN */
};

/* What the six numbers given to a conversion are (the program's menu). */
enum dorvex_mode {
  DORVEX_FORM = 1,   /* A, B, C, D, E, F of the metric form */
  DORVEX_DIRECT = 2, /* a, b, c, alpha, beta, gamma; angles in degrees */
  DORVEX_RECIP = 3   /* a*, b*, c*, alpha*, beta*, gamma*; 2 pi, degrees */
};

/* The conventions of the reciprocal cell: the program's, with 2 pi in its
** lengths (a* = 2 pi / a for an orthogonal cell), and that of tables and
** CIF, a* = 1 / a. The program's 2 pi is its constant 6.28318531: a length
** in convention 1 is the program's divided by it, and one given in
** convention 1 is multiplied by it. */
enum dorvex_convention { DORVEX_2PI = 0, DORVEX_1 = 1 };

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
  /* since 0.4: */
  double volume;         /* V of the direct cell, cubic angstroms; NaN: none */
  double recip_volume;   /* V* = (2 pi)^3 / V, the program's 2 pi */
  double recip_1[6];     /* recip in convention 1: a*, b*, c* per angstrom */
  double recip_volume_1; /* V* = 1 / V */
  /* A..F again, in double throughout from the values given: the report's
  ** form carries the program's single-precision steps (up to a part in
  ** 10^7 of a coefficient). d and the volumes come from this one. */
  double metric[6];
  /* The standard uncertainties of all of these, to first order, the given
  ** numbers' s.u. taken as uncorrelated; 0 where none was given. */
  double form_su[6], direct_su[6], recip_su[6], recip_1_su[6];
  double volume_su, recip_volume_su, recip_volume_1_su;
  /* What was converted: the mode, the reciprocal cell's convention, the six
  ** numbers and their s.u. (the reflections' s.u. follow from them). */
  int mode, convention;
  double given[6], given_su[6];
};

/* Converts the six numbers in (enum dorvex_mode; a reciprocal cell in the
** convention given), with their standard uncertainties su (NULL for
** none), into *out, whose size the caller gives (dorvex_convert gives
** sizeof *out). Returns DORVEX_OK; DORVEX_E_MODE, DORVEX_E_VALUE
** (another convention, or an s.u. below 0 or not finite), DORVEX_E_NULL
** (in or out NULL) or DORVEX_E_SIZE (smaller than 0.3's struct, or larger
** than this library's), leaving *out untouched. in and su may point into
** *out. */
int dorvex_convert_sized(int mode, int convention, const double in[6],
                         const double su[6], struct dorvex_result *out,
                         size_t size);
#define dorvex_convert(mode, in, out) \
  dorvex_convert_sized((mode), DORVEX_2PI, (in), NULL, (out), sizeof *(out))
#define dorvex_convert_as(mode, convention, in, out) \
  dorvex_convert_sized((mode), (convention), (in), NULL, (out), sizeof *(out))
#define dorvex_convert_su(mode, convention, in, su, out) \
  dorvex_convert_sized((mode), (convention), (in), (su), (out), sizeof *(out))

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

/* The same, with the reciprocal cell given (mode DORVEX_RECIP) and
** written in the convention given, and V and V* into volume[i] and
** recip_volume[i] unless those are NULL (which lie apart from the rest).
** DORVEX_E_VALUE for another convention. */
int dorvex_convert_many_as(int mode, int convention, size_t n, const double *in,
                           double *form, double *direct, double *recip,
                           double *volume, double *recip_volume,
                           int *n_domain_errors);

/* One reflection: its indices, d in angstroms, and 2 theta in degrees for
** the wavelength asked (NaN where the wavelength cannot reach it, or none was
** asked). */
struct dorvex_reflection {
  int h, k, l;
  double d, two_theta;
  double d_su, two_theta_su; /* from the result's given s.u.; 0 if none */
};

/* Every reflection of *r with d >= d_min, (0 0 0) left out and one of each
** Friedel pair (its first index that is not 0 positive), by d descending
** then h, k, l ascending, d from r->metric: written into out when
** they are at most cap, and counted. Returns the count, as snprintf
** does (nothing written if it is more than cap), or DORVEX_E_NULL (r
** NULL, or out NULL with cap > 0), DORVEX_E_VALUE (d_min not > 0, or a
** wavelength not > 0: NaN asks for none), DORVEX_E_CELL (r's cell does not
** exist), DORVEX_E_RANGE (more than 50 million indices to search). */
ptrdiff_t dorvex_reflections(const struct dorvex_result *r, double d_min,
                             double wavelength, struct dorvex_reflection *out,
                             size_t cap);

/* The characteristic X-ray lines it knows, by index from 0: the name
** ("CuKa1", "CuKa2", "CuKa" (the weighted mean), "CuKb1"; Mo, Co, Cr, Fe
** and Ag K alpha), with the wavelength in angstroms in *wavelength; NULL
** past the last. Source: J. A. Bearden (1967), Rev. Mod. Phys. 39, 78. */
const char *dorvex_xray_line(int index, double *wavelength);
/* A line's wavelength by its name; NaN for a name it does not know. */
double dorvex_wavelength(const char *name);

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

/* Reads one number as dorvex_read_number does, and a standard uncertainty
** in parentheses straight after it as CIF writes it: "5.6402(3)" is
** 5.6402 +- 0.0003, "1.5e3(12)" is 1500 +- 1200 (the s.u. counts in the
** mantissa's last digit). Returns how many bytes it took, the value and
** the s.u. (0 without one) in *value and *su; 0 when no number stands
** there, or the s.u. is malformed, and then *why, unless NULL, says what
** is wrong with the s.u. (NULL when no number stands there). */
size_t dorvex_read_value(const char *text, double *value, double *su,
                         const char **why);

/* value(su) in the crystallographers' notation: the s.u. to two digits when
** they are 19 or less, else to one, the value to the same place
** ("179.43(3)", "0.00171(12)"). Written into buf as snprintf writes;
** returns the length, or 0 when there is no s.u. to show (su not above 0,
** a value or s.u. not finite), writing "" then. At most 64 bytes. */
int dorvex_format_su(double value, double su, char *buf, size_t size);

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
