// What the fuzz targets need besides memchan.hpp's standard input: a
// failed property as a crash libFuzzer records.
#pragma once
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "memchan.hpp"

inline void check(bool ok) {
  if (!ok) std::abort();
}
