#include "console/batch.hpp"
#include "console/chan.hpp"
#include "console/dialogue.hpp"

#ifdef __wasm__
#include <wasi/api.h>
#endif

namespace {

// The dialogue, or, given arguments, the command line's conversions.
int run(int argc, [[maybe_unused]] const char* const* argv) {
  raw_std_channels();
  int fd_in = 0, fd_out = 1, fd_err = 2;
  inchan in = in_from(fd_read, &fd_in);
  in.terminal = is_console(fd_in);
  const bool rows = argc > 1;
  // A console sees each prompt before the program waits; a file or pipe
  // gets 512-byte blocks, as rows always do.
  outchan out = out_to(fd_write, &fd_out, !rows && is_console(fd_out));
  outchan err = out_to(fd_write, &fd_err, true);
#ifdef __wasm__
  const int status = static_cast<int>(dialogue(in, out, err));
#else
  const int status = rows ? command_line(argc, argv, in, out, err)
                          : static_cast<int>(dialogue(in, out, err));
#endif
  // As head does: a file is left just after the last byte used, so the
  // next program reading it (a second dorvex, say) reads on from there.
  give_back(fd_in, in);
  if (!rows) keep_own_window();
  return status;
}

}  // namespace

#ifdef __wasm__
// The WebAssembly program (the page, the npm command) is the dialogue
// alone: the shortest text the rows are printed in would triple its size.
// Its arguments are counted without main(argc, argv), which would bring
// wasi-libc's allocator in to copy them.
int main() {
  __wasi_size_t argc = 0, size = 0;
  if (__wasi_args_sizes_get(&argc, &size) != 0) argc = 0;
  if (argc > 1) {
    int fd = 2;
    const char line[] =
        "dorvex: this build is the dialogue alone; the native dorvex "
        "converts rows\n";
    fd_write(&fd, line, sizeof line - 1);
    return 2;
  }
  return run(1, nullptr);
}

// For the page, which says in words why a line was refused: how many bytes
// of a line a terminal keeps.
extern "C" std::size_t dorvex_terminal_line_max(void) {
  return terminal_line_max;
}
#else
int main(int argc, char** argv) {
  return run(argc, argv);
}
#endif
