// One run of the program: menu, six numbers, conversion, report.
#pragma once
#include "chan.hpp"

// Exit status of a run.
enum : int { run_done = 0, run_no_input = 1 };

// Runs the whole dialogue on the given channels; domain-error reports of
// the geometry go to err while it runs. Flushes out before returning.
int dialogue(inchan& in, outchan& out, outchan& err);
