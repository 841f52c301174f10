#include "console/batch.hpp"
#include "console/chan.hpp"
#include "console/dialogue.hpp"

int main(int argc, char** argv) {
  raw_std_channels();
  int fd_in = 0, fd_out = 1, fd_err = 2;
  inchan in = in_from(fd_read, &fd_in);
  in.terminal = is_console(fd_in);
  const bool rows = argc > 1;  // the command line's conversions, no dialogue
  // A console sees each prompt before the program waits; a file or pipe
  // gets 512-byte blocks, as rows always do.
  outchan out = out_to(fd_write, &fd_out, !rows && is_console(fd_out));
  outchan err = out_to(fd_write, &fd_err, true);
  const int status = rows ? command_line(argc, argv, in, out, err)
                          : static_cast<int>(dialogue(in, out, err));
  // As head does: a file is left just after the last byte used, so the
  // next program reading it (a second dorvex, say) reads on from there.
  give_back(fd_in, in);
  if (!rows) keep_own_window();
  return status;
}

#ifdef __wasm__
// For the page, which says in words why a line was refused: how many bytes
// of a line a terminal keeps.
extern "C" std::size_t dorvex_terminal_line_max(void) {
  return terminal_line_max;
}
#endif
