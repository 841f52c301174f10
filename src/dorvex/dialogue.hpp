// One run of the program: menu, six numbers, conversion, report.
#pragma once
#include "chan.hpp"

// Exit status of a run.
enum : int { run_done = 0, run_no_input = 1, run_lost_output = 2 };

// Runs the whole dialogue on the given channels; domain-error reports of
// the geometry go to err while it runs. Flushes out before returning; if
// out refused a write, says so on err in one line and stops asking.
int dialogue(inchan& in, outchan& out, outchan& err);
