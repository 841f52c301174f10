// One run of the program: menu, six numbers, conversion, report.
#pragma once
#include "dorvex/chan.hpp"

enum class exit_status {
  done = 0,      // the report was printed and written
  no_input = 1,  // input ended before an answer was accepted
  failed = 2,    // input could not be read or output not written
};

// Runs the whole dialogue on the given channels; domain-error reports of
// the geometry go to err while it runs. Flushes out before returning. A
// read that failed, or a write that out refused, stops the asking and is
// said on err in one line each.
exit_status dialogue(inchan& in, outchan& out, outchan& err);
