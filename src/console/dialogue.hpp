// One run of the program: menu, six numbers, conversion, report.
#pragma once
#include "console/chan.hpp"

enum class exit_status {
  done = 0,      // the report was printed and written
  no_input = 1,  // input ended before an answer was accepted
  failed = 2,    // input could not be read or output not written
};

// Runs the whole dialogue on the given channels: asks, converts, writes
// the conversion's domain-error reports to err where the computation
// reaches them and the report to out. Flushes out before returning. A
// read that failed, or a write that out refused, stops the asking and is
// said on err in one line each.
exit_status dialogue(inchan& in, outchan& out, outchan& err);

// The asking alone: the menu, the mode's prompt and its six numbers, with
// "? " for each line refused; false if input ended (or failed, or output
// was lost) before both answers were accepted.
bool ask(inchan& in, outchan& out, int& mode, double (&given)[6]);

// An errno as glibc words it, on every platform; one it does not know in
// the C library's words.
const char* error_text(int error);
