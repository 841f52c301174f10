// Arbitrary standard input through the whole dialogue, in-process, with an
// output that may refuse writes part way. The report must come whole or
// not at all, and a lost output must be said.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "console/chan.hpp"
#include "console/dialogue.hpp"
#include "fuzz_util.hpp"

namespace {

struct mem_out {
  std::string text, last;  // all that was written, and the last write
  std::size_t room;        // bytes taken before writes are refused
};

long mem_write(void* ctx, const char* buf, std::size_t n) {
  auto& m = *static_cast<mem_out*>(ctx);
  if (m.room == 0) return -1;
  const std::size_t k = n < m.room ? n : m.room;
  m.text.append(buf, k);
  m.last.assign(buf, k);
  m.room -= k;
  return static_cast<long>(k);
}

std::size_t count(const std::string& s, const std::string& what) {
  std::size_t n = 0;
  for (auto at = s.find(what); at != std::string::npos;
       at = s.find(what, at + 1))
    ++n;
  return n;
}

const std::string form_head = "ABCDEF = \n",
                  direct_head =
                      "\nDirect lattice a, b, c, alpha, beta, gamma =\n",
                  recip_head =
                      "\nRecip lattice a*, b*, c*, alpha*, beta*, gamma* =\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  // First byte: console or file output, and how much output gets through
  // (0: all of it).
  if (size == 0) return 0;
  const bool console = data[0] & 1;
  const std::size_t room = data[0] >> 1 ? (data[0] >> 1) * 24u : SIZE_MAX;
  text_source src{reinterpret_cast<const char*>(data + 1), size - 1};
  mem_out sout{{}, {}, room}, serr{{}, {}, SIZE_MAX};
  inchan in = in_from(text_read, &src);
  outchan out = out_to(mem_write, &sout, console);
  outchan err = out_to(mem_write, &serr, true);
  const exit_status status = dialogue(in, out, err);

  const std::string& o = sout.text;
  std::string e = serr.text;
  const std::string lost = "dorvex: cannot write standard output\n";
  check(status == exit_status::done || status == exit_status::no_input ||
        status == exit_status::failed);
  check((status == exit_status::failed) == out.failed);
  if (status == exit_status::failed) {
    // in one write, so nothing sharing the error channel can split it
    check(serr.last == lost);
    e.resize(e.size() - lost.size());
  }
  // The error channel carries domain reports and nothing else.
  for (std::size_t at = 0; at < e.size(); at += 20)
    check(e.compare(at, 20, "\nsqrt: DOMAIN error\n") == 0 ||
          e.compare(at, 20, "\nacos: DOMAIN error\n") == 0);
  if (status == exit_status::done) {
    // Three blocks once each, in order, and the final newline.
    check(count(o, form_head) == 1 && count(o, direct_head) == 1 &&
          count(o, recip_head) == 1);
    const auto f = o.find(form_head), d = o.find(direct_head),
               r = o.find(recip_head);
    check(f < d && d < r && o.back() == '\n');
    check(count(o.substr(r + recip_head.size()), "\n") == 1);
  }
  if (status == exit_status::no_input) {
    check(o.find(form_head) == std::string::npos && e.empty());
  }
  return 0;
}
