// The command line: --help, --version, and conversions of many rows from
// files or standard input into CSV or JSON, for the shell.
#pragma once
#include "console/chan.hpp"

struct batch_options {
  int mode;        // start::form, direct or recip
  int convention;  // conv::two_pi or conv::one
  bool json;       // one JSON object a row, not CSV
};

// What the rows so far have settled: the header goes out before the first
// row, with a u(NAME) column after each value when that row gave standard
// uncertainties.
struct batch_run {
  bool headed, with_su;
};

// One line of input: a row of six values, each perhaps with its s.u.
// ("5.6402(3)"; 0 without), nothing to convert (blank, or a comment), or a
// row that is not six values, with why in `why`.
enum class row_got { row, none, bad };
constexpr int why_max = 96;
row_got read_row(const char* line, double (&v)[6], double (&su)[6],
                 char (&why)[why_max]);

// Converts every row of in (named `name` in messages), writing CSV or JSON
// lines to out and each bad row, or domain error, as "dorvex: NAME:LINE:
// ..." to err; false if a row was bad or the input could not be read.
bool convert_rows(inchan& in, const char* name, const batch_options& o,
                  batch_run& run, outchan& out, outchan& err);
// The CSV header line, or nothing for JSON.
void put_header(const batch_options& o, bool with_su, outchan& out);

// The whole command line (argv[1..]), standard input and output: the exit
// status. With no argument the program is the dialogue, not this.
int command_line(int argc, const char* const* argv, inchan& in, outchan& out,
                 outchan& err);
