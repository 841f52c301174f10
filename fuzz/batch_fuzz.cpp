// Arbitrary rows through the command line's reader and converter, each
// option by the first byte: every line is a CSV row of twenty values (or a
// JSON object) or a message on standard error naming its line, never both,
// and a bad row makes the whole run fail.
#include <cstdint>
#include <string>

#include "cell/cell.hpp"
#include "cell/derived.hpp"
#include "console/batch.hpp"
#include "fuzz_util.hpp"

namespace {

std::size_t count(const std::string& s, char c) {
  std::size_t n = 0;
  for (const char x : s) n += x == c;
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size == 0) return 0;
  const batch_options o{start::form + data[0] % 3,
                        data[0] & 4 ? conv::one : conv::two_pi,
                        (data[0] & 8) != 0};
  text_source src{reinterpret_cast<const char*>(data + 1), size - 1};
  inchan in = in_from(text_read, &src);
  std::string out_text, err_text;
  outchan out = out_to(text_write, &out_text, false);
  outchan err = out_to(text_write, &err_text, true);
  batch_run run{false, false};
  const bool ok = convert_rows(in, "f", o, run, out, err);
  flush(out);
  // twenty values a row (and their s.u. where the first row had them):
  // 19 commas, or 39; the CSV's header has as many
  const std::size_t rows = count(out_text, '\n');
  check(count(out_text, ',') == rows * (run.with_su ? 39 : 19));
  check(!o.json || count(out_text, '{') == rows);
  // each message names the file and a line
  for (std::size_t at = 0; at < err_text.size();) {
    check(err_text.compare(at, 10, "dorvex: f:") == 0);
    at = err_text.find('\n', at) + 1;
    check(at != 0);
  }
  check(ok || !err_text.empty());
  return 0;
}
