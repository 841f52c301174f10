// Correctly rounded cosine and arc cosine (binary64, round to nearest): the
// same bits on every CPU and C library, whatever the compiler.
#pragma once

// cos x for |x| < 2^53; other arguments are the caller's to refuse.
double cr_cos(double x);
// acos x for -1 <= x <= 1; other arguments are the caller's to refuse.
double cr_acos(double x);
