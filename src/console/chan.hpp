// Console channels: where lines come from and where text goes. Each reads
// or writes through a plain function, so a test can hand the dialogue
// memory where the program hands it file descriptors.
#pragma once
#include <cstddef>

// Bytes read into buf (at most n), 0 at the end, negative on failure.
using source_fn = long (*)(void* ctx, char* buf, std::size_t n);
// Bytes written from buf (at most n), negative on failure.
using sink_fn = long (*)(void* ctx, const char* buf, std::size_t n);
// One attempt at a read or a write: bytes, 0, or -1 with errno set.
using attempt_fn = long (*)(void* ctx);

struct inchan {
  source_fn src;
  void* ctx;
  char buf[4096];
  std::size_t pos, len;
  bool done;      // end, failure or Ctrl-Z: nothing more is ever read
  int error;      // errno of a failed read, 0 if none failed
  bool terminal;  // typed at a terminal, whose lines may have been cut
};

struct outchan {
  static constexpr std::size_t block = 512;
  sink_fn sink;
  void* ctx;
  bool unbuffered;  // a console: every write goes out at once
  char buf[block];  // otherwise held and written 512 bytes at a time
  std::size_t len;
  bool failed;  // a write was refused; the rest is dropped
  int error;    // errno of that refusal, 0 if none was given
  char last;    // the last byte put, 0 before any
};

inchan in_from(source_fn src, void* ctx);
outchan out_to(sink_fn sink, void* ctx, bool unbuffered);

// The descriptor channels: ctx points at the int descriptor.
long fd_read(void* ctx, char* buf, std::size_t n);
long fd_write(void* ctx, const char* buf, std::size_t n);
// How they call the system: attempt made again after a signal (EINTR), and
// after waiting for fd when it is non-blocking and not ready (EAGAIN): a
// parent's non-blocking pipe is no end of input and no lost output. Tests
// hand it attempts that fail as they choose.
long retried(int fd, bool reading, attempt_fn attempt, void* ctx);
// A file opened for reading, as bytes: its descriptor, or -1 with errno.
int fd_open(const char* path);
void fd_close(int fd);
// True for a terminal or console.
bool is_console(int fd);
// Moves a seekable descriptor back over the bytes in read ahead but not
// used; does nothing to a pipe or terminal.
void give_back(int fd, const inchan& in);
// Standard input and output as bytes: no LF to CR LF, no Ctrl-Z as end of
// file by the C library (Windows; elsewhere nothing to do).
void raw_std_channels();
// On Windows, a console made for this run alone (a double-clicked
// program) is kept open until Enter is pressed; elsewhere, and whenever
// the console is shared or redirected, nothing is written or read.
void keep_own_window();

void put(outchan& out, const char* text, std::size_t n);
void put(outchan& out, const char* text);  // NUL-terminated
void flush(outchan& out);

// The line buffer's size: 4,095 characters and the terminator, room for
// six numbers pasted with all their digits.
constexpr std::size_t line_max = 4096;

// A terminal keeps this many bytes of a typed or pasted line, with its
// line end, and drops the rest: Linux's line editor 4,095; the Windows
// console what one read of 4,096 bytes leaves beside CR LF. A line of that
// length from a terminal may have been cut, so it is refused like a
// longer one.
#ifdef _WIN32
constexpr std::size_t terminal_line_max = 4094;
#else
constexpr std::size_t terminal_line_max = 4095;
#endif

enum class line_got { line, too_long, end };
// One line without its LF and with every CR dropped, NUL-terminated in
// bufr. A line longer than bufr holds (or, from a terminal, as long as the
// terminal keeps) is skipped to its end and reported as too long; nothing
// past bufr is ever written. A line that a failed read cuts short is no
// line: the input has ended.
line_got next_line(inchan& in, char (&bufr)[line_max]);
