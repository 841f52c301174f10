// Standard input and output in memory, for running the line reader and the
// dialogue in-process: unit tests, golden transcripts, fuzzers.
#pragma once
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

// Text handed out at most `chunk` bytes a read; after it, the end of input,
// or a failed read with errno `fail` when that is not 0. The reader must
// never ask again once told of the end: `asked_after_end` counts it.
struct text_source {
  const char* p;
  std::size_t n, chunk = SIZE_MAX;
  int fail = 0;
  bool ended = false;
  int asked_after_end = 0;
};

inline long text_read(void* ctx, char* buf, std::size_t n) {
  auto& s = *static_cast<text_source*>(ctx);
  s.asked_after_end += s.ended;
  std::size_t k = n < s.chunk ? n : s.chunk;
  if (k > s.n) k = s.n;
  if (k == 0) {
    s.ended = true;
    errno = s.fail;
    return s.fail ? -1 : 0;
  }
  std::memcpy(buf, s.p, k);
  s.p += k;
  s.n -= k;
  return static_cast<long>(k);
}

// Everything written, appended to a std::string.
inline long text_write(void* ctx, const char* buf, std::size_t n) {
  static_cast<std::string*>(ctx)->append(buf, n);
  return static_cast<long>(n);
}
