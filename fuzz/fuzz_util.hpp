// What both fuzz targets need: the fuzzer's bytes as standard input, and a
// failed property as a crash libFuzzer records.
#pragma once
#include <cstdint>
#include <cstdlib>
#include <cstring>

struct mem {
  const std::uint8_t* p;
  std::size_t n, chunk;  // chunk: the most one read hands over
};

inline long mem_read(void* ctx, char* buf, std::size_t n) {
  auto& m = *static_cast<mem*>(ctx);
  std::size_t k = n < m.chunk ? n : m.chunk;
  if (k > m.n) k = m.n;
  std::memcpy(buf, m.p, k);
  m.p += k;
  m.n -= k;
  return static_cast<long>(k);
}

inline void check(bool ok) {
  if (!ok) std::abort();
}
