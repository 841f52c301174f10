// The report's text, as the program prints it, from a conversion's
// values: no I/O, so every front end prints the same bytes.
#pragma once
#include "cell/cell.hpp"
#include "text/numtext.hpp"

// "ABCDEF = ", the form at "%12.9lf", the direct and the reciprocal cell at
// " %8.4lf": three header lines and eighteen values, each value at most
// fixed_max characters (a blank before each of the cells').
constexpr int report_max = 10 + 6 * fixed_max + 1 + 45 + 6 * (1 + fixed_max) +
                           51 + 6 * (1 + fixed_max) + 1;
// Writes the report into out and returns its length.
int report_text(const MetricForm& form, const CellParams& direct,
                const CellParams& recip, char (&out)[report_max]);

// A domain error as the program reports it, "%s: %s error" of the
// function's name and "DOMAIN" framed by line breaks: always 20 bytes.
constexpr int domain_text_len = 20;
void domain_text(domain_fn fn, char (&out)[domain_text_len]);
