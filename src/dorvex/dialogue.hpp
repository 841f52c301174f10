// One run of the program: menu, six numbers, conversion, report.
#pragma once
#include "dorvex/chan.hpp"

enum class exit_status {
  done = 0,         // the report was printed and written
  no_input = 1,     // input ended before an answer was accepted
  lost_output = 2,  // standard output refused a write
};

// Runs the whole dialogue on the given channels; domain-error reports of
// the geometry go to err while it runs. Flushes out before returning; if
// out refused a write, says so on err in one line and stops asking.
exit_status dialogue(inchan& in, outchan& out, outchan& err);
