// Golden transcripts: every input of a golden file through the real
// dialogue, in-process, with channels that behave like the process's
// (standard output in 512-byte blocks, standard error unbuffered, both into
// one stream in write order, as with 2>&1 into a file).
//
//   transcripts FILE             compare; exit 1 on a change
//   transcripts --update FILE    rewrite FILE's outputs from its inputs
//   transcripts --changes FILE   print the records that now differ
//   transcripts --requests FILE OUT  for each record that reaches a
//       report, the request the dialogue accepted and what the record shows
//       of it, for the front ends' tests, a line each into OUT: name, mode,
//       the six doubles' bits in hex, the domain errors, the report
//       (escaped), TAB-separated
//
// A record is "@@ name", "< input", one "> " line per output line, then
// "= status". Bytes outside printable ASCII are escaped (\n \r \t \\ \xHH),
// an output line keeps its "\n", and "\c" marks output that ends without
// one. Lines before the first record are kept as they stand.
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cell/cell.hpp"
#include "console/chan.hpp"
#include "console/dialogue.hpp"
#include "memchan.hpp"
#include "records.hpp"

namespace {

int hexval(char c) {
  return c <= '9' ? c - '0' : c - 'a' + 10;
}

std::string unescape(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\' || i + 1 == s.size()) {
      out += s[i];
      continue;
    }
    const char c = s[++i];
    if (c == 'n')
      out += '\n';
    else if (c == 'r')
      out += '\r';
    else if (c == 't')
      out += '\t';
    else if (c == 'x' && i + 2 < s.size()) {
      out += static_cast<char>(hexval(s[i + 1]) * 16 + hexval(s[i + 2]));
      i += 2;
    } else
      out += c;
  }
  return out;
}

// The record of one input: what the program writes and its status.
std::string record(const std::string& name, const std::string& input) {
  std::string all;
  text_source src{input.data(), input.size()};
  inchan in = in_from(text_read, &src);
  outchan out = out_to(text_write, &all, false);
  outchan err = out_to(text_write, &all, true);
  const int status = static_cast<int>(dialogue(in, out, err));
  std::string r = "@@ " + name + "\n< ";
  for (char c : input) escape(r, static_cast<unsigned char>(c));
  r += '\n';
  for (std::size_t i = 0; i < all.size();) {
    r += "> ";
    for (; i < all.size() && all[i] != '\n'; ++i)
      escape(r, static_cast<unsigned char>(all[i]));
    r += i < all.size() ? "\\n\n" : "\\c\n";
    if (i < all.size()) ++i;
  }
  return r + "= " + std::to_string(status) + "\n";
}

struct golden {
  std::string head;  // the lines before the first record
  std::vector<std::string> names, inputs, texts, outputs;
};

golden parse(const std::string& file) {
  golden g;
  for (std::size_t at = 0; at < file.size();) {
    std::size_t eol = file.find('\n', at);
    eol = eol == std::string::npos ? file.size() : eol + 1;
    const std::string line = file.substr(at, eol - at);
    if (line.compare(0, 3, "@@ ") == 0) {
      g.names.push_back(line.substr(3, line.size() - 4));
      g.inputs.emplace_back();
      g.texts.emplace_back();
      g.outputs.emplace_back();
    } else if (g.names.empty()) {
      g.head += line;
    } else if (line.compare(0, 2, "< ") == 0) {
      g.inputs.back() = unescape(line.substr(2, line.size() - 3));
    } else if (line.compare(0, 2, "> ") == 0) {
      std::string out = line.substr(2, line.size() - 3);
      if (out.size() >= 2 && out.compare(out.size() - 2, 2, "\\c") == 0)
        out.resize(out.size() - 2);
      g.outputs.back() += unescape(out);
    }
    if (!g.names.empty()) g.texts.back() += line;
    at = eol;
  }
  return g;
}

void usage() {
  std::fprintf(stderr,
               "usage: transcripts FILE | --update FILE | --changes FILE | "
               "--requests FILE OUT\n");
}

// The request each record's input makes, as the dialogue accepts it, with
// the report and the domain reports its output shows; false if these are
// not what the conversion gives.
bool print_requests(const golden& g, std::FILE* f) {
  const std::string report_head = "ABCDEF = \n";
  for (std::size_t i = 0; i < g.names.size(); ++i) {
    const std::string& out = g.outputs[i];
    const std::size_t at = out.rfind(report_head);
    if (at == std::string::npos) continue;
    std::string scratch;
    text_source src{g.inputs[i].data(), g.inputs[i].size()};
    inchan in = in_from(text_read, &src);
    outchan sink = out_to(text_write, &scratch, false);
    int mode;
    double given[6];
    if (!ask(in, sink, mode, given)) continue;
    std::fprintf(f, "%s\t%d\t", g.names[i].c_str(), mode);
    for (int k = 0; k < 6; ++k)
      std::fprintf(f, "%s%016llx", k ? " " : "",
                   static_cast<unsigned long long>(
                       std::bit_cast<std::uint64_t>(given[k])));
    // each domain report's name from the record, its step and call from
    // the conversion, which must name the same functions in the same order
    conversion c;
    convert_mode(mode, given, c);
    int k = 0;
    std::fputc('\t', f);
    for (std::size_t p = 0; p < at; ++p)
      for (const domain_fn fn : {domain_fn::sqrt, domain_fn::acos}) {
        const char* name = domain_name(fn);
        if (out.compare(p, 20, std::string("\n") + name + ": DOMAIN error\n"))
          continue;
        if (k >= c.log.n || c.log.at[k].fn != fn) return false;
        const conv_step step = c.log.at[k].step;
        std::fprintf(f, "%s%s:%s:%d", k ? "," : "", name,
                     step == conv_step::form_to_recip ? "form_to_recip"
                     : step == conv_step::recipconv   ? "recipconv"
                                                      : "angles",
                     c.log.at[k].call);
        ++k;
      }
    if (k != c.log.n) return false;
    std::string report;
    for (std::size_t p = at; p < out.size(); ++p)
      escape(report, static_cast<unsigned char>(out[p]));
    std::fprintf(f, "\t%s\n", report.c_str());
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  raw_std_channels();  // LF stays LF on Windows too
  const std::string mode = argc > 1 ? argv[1] : "";
  const bool update = mode == "--update", changes = mode == "--changes",
             requests = mode == "--requests";
  if (argc != (requests ? 4 : update || changes ? 3 : 2)) {
    usage();
    return 2;
  }
  const char* path = argv[requests ? 2 : argc - 1];
  std::string file;
  if (!slurp(path, file)) {
    std::fprintf(stderr, "transcripts: cannot read %s\n", path);
    return 2;
  }
  const golden g = parse(file);
  if (requests) {
    std::FILE* f = std::fopen(argv[3], "wb");
    if (!f) return 2;
    const bool agree = print_requests(g, f);
    if (!agree)
      std::fprintf(stderr,
                   "transcripts: a record's domain reports "
                   "are not its conversion's\n");
    return std::fclose(f) == 0 && agree ? 0 : 2;
  }
  std::string made = g.head, changed_text;
  unsigned long changed = 0;
  for (std::size_t i = 0; i < g.names.size(); ++i) {
    const std::string got = record(g.names[i], g.inputs[i]);
    const std::string& want = g.texts[i];
    made += got;
    if (got == want) continue;
    changed_text += got;
    if (++changed <= 3 && !update && !changes)
      std::fprintf(stderr, "--- golden\n%s+++ now\n%s", want.c_str(),
                   got.c_str());
  }
  if (changes) {
    std::fputs(changed_text.c_str(), stdout);
    return 0;
  }
  if (update) {
    FILE* f = std::fopen(path, "wb");
    if (!f || std::fwrite(made.data(), 1, made.size(), f) != made.size() ||
        std::fclose(f) != 0) {
      std::fprintf(stderr, "transcripts: cannot write %s\n", path);
      return 2;
    }
  }
  std::printf("%lu records, %lu changed\n",
              static_cast<unsigned long>(g.names.size()), changed);
  return g.names.empty() || (changed > 0 && !update) ? 1 : 0;
}
