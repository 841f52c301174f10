// The shortest text of a double, for the command line's rows: a file of
// its own, so that what does not convert rows (the WebAssembly build)
// links none of std::to_chars's tables.
#include <charconv>
#include <cmath>
#include <cstring>

#include "text/numtext.hpp"

int format_shortest(double x, char (&out)[shortest_max]) {
  if (std::isnan(x)) {
    std::memcpy(out, "nan", 3);
    return 3;
  }
  // shortest round trip by definition, so the same text everywhere
  const std::to_chars_result r = std::to_chars(out, out + shortest_max, x);
  return static_cast<int>(r.ptr - out);
}
