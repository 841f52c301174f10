// Console channels: where lines come from and where text goes. Each reads
// or writes through a plain function, so a test can hand the dialogue
// memory where the program hands it file descriptors.
#pragma once
#include <cstddef>

// Bytes read into buf (at most n), 0 at the end, negative on failure.
using source_fn = long (*)(void* ctx, char* buf, std::size_t n);
// Bytes written from buf (at most n), negative on failure.
using sink_fn = long (*)(void* ctx, const char* buf, std::size_t n);

struct inchan {
  source_fn src;
  void* ctx;
  char buf[4096];
  std::size_t pos, len;
  bool done;  // end, failure or Ctrl-Z: nothing more is ever read
  int error;  // errno of a failed read, 0 if none failed
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
};

inchan in_from(source_fn src, void* ctx);
outchan out_to(sink_fn sink, void* ctx, bool unbuffered);

// The descriptor channels: ctx points at the int descriptor.
long fd_read(void* ctx, char* buf, std::size_t n);
long fd_write(void* ctx, const char* buf, std::size_t n);
// True for a terminal or console.
bool is_console(int fd);
// Moves a seekable descriptor back over `unread` bytes read ahead; does
// nothing to a pipe or terminal.
void give_back(int fd, std::size_t unread);
// Standard input and output as bytes: no LF to CR LF, no Ctrl-Z as end of
// file by the C library (Windows; elsewhere nothing to do).
void raw_std_channels();

void put(outchan& out, const char* text, std::size_t n);
void put(outchan& out, const char* text);  // NUL-terminated
void flush(outchan& out);

// The line buffer's size: 4,095 characters and the terminator, room for
// six numbers pasted with all their digits.
constexpr std::size_t line_max = 4096;

enum class line_got { line, too_long, end };
// One line without its LF and with every CR dropped, NUL-terminated in
// bufr. A line longer than bufr holds is skipped to its end and reported
// as too long; nothing past bufr is ever written. A line that a failed
// read cuts short is no line: the input has ended.
line_got next_line(inchan& in, char (&bufr)[line_max]);
