// Golden transcripts: every input of a golden file through the real
// dialogue, in-process, with channels that behave like the process's
// (standard output in 512-byte blocks, standard error unbuffered, both into
// one stream in write order, as with 2>&1 into a file).
//
//   transcripts FILE            compare; exit 1 and show the first changes
//   transcripts --update FILE   rewrite FILE's outputs from its inputs
//
// A record is "@@ name", "< input", one "> " line per output line, then
// "= status". Bytes outside printable ASCII are escaped (\n \r \t \\ \xHH),
// an output line keeps its "\n", and "\c" marks output that ends without
// one. Lines before the first record are kept as they stand.
#include <cstdio>
#include <cstring>
#include <string>

#include "dorvex/chan.hpp"
#include "dorvex/dialogue.hpp"

namespace {

struct text_in {
  const std::string* s;
  std::size_t at;
};

long from_text(void* ctx, char* buf, std::size_t n) {
  auto& t = *static_cast<text_in*>(ctx);
  const std::size_t k = std::min(n, t.s->size() - t.at);
  std::memcpy(buf, t.s->data() + t.at, k);
  t.at += k;
  return static_cast<long>(k);
}

long to_text(void* ctx, const char* buf, std::size_t n) {
  static_cast<std::string*>(ctx)->append(buf, n);
  return static_cast<long>(n);
}

void escape(std::string& out, unsigned char c) {
  static const char hex[] = "0123456789abcdef";
  if (c == '\\') {
    out += "\\\\";
  } else if (c >= 0x20 && c < 0x7f) {
    out += static_cast<char>(c);
  } else if (c == '\n') {
    out += "\\n";
  } else if (c == '\r') {
    out += "\\r";
  } else if (c == '\t') {
    out += "\\t";
  } else {
    out += "\\x";
    out += hex[c >> 4];
    out += hex[c & 15];
  }
}

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
  text_in src{&input, 0};
  inchan in = in_from(from_text, &src);
  outchan out = out_to(to_text, &all, false);
  outchan err = out_to(to_text, &all, true);
  const int status = dialogue(in, out, err);
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

bool slurp(const char* path, std::string& s) {
  FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  char b[65536];
  for (std::size_t n; (n = std::fread(b, 1, sizeof b, f)) > 0;) s.append(b, n);
  std::fclose(f);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const bool update = argc == 3 && std::strcmp(argv[1], "--update") == 0;
  if (argc != 2 && !update) {
    std::fprintf(stderr, "usage: transcripts [--update] FILE\n");
    return 2;
  }
  const char* path = argv[argc - 1];
  std::string file;
  if (!slurp(path, file)) {
    std::fprintf(stderr, "transcripts: cannot read %s\n", path);
    return 2;
  }
  // Walk the records: keep the header, rebuild each record from its input.
  std::string made, head, name, input;
  std::size_t at = 0, start = std::string::npos, records = 0, changed = 0;
  auto close_record = [&](std::size_t end) {
    if (start == std::string::npos) return;
    const std::string want = file.substr(start, end - start);
    const std::string got = record(name, unescape(input));
    ++records;
    if (got != want && ++changed <= 3 && !update)
      std::fprintf(stderr, "--- %s: golden\n%s+++ now\n%s", name.c_str(),
                   want.c_str(), got.c_str());
    made += got;
  };
  while (at < file.size()) {
    std::size_t eol = file.find('\n', at);
    if (eol == std::string::npos) eol = file.size() - 1;
    const std::string line = file.substr(at, eol - at);
    if (line.compare(0, 3, "@@ ") == 0) {
      close_record(at);
      start = at;
      name = line.substr(3);
      input.clear();
    } else if (line.compare(0, 2, "< ") == 0) {
      input = line.substr(2);
    } else if (start == std::string::npos) {
      head += file.substr(at, eol + 1 - at);
    }
    at = eol + 1;
  }
  close_record(file.size());
  made = head + made;
  if (update) {
    FILE* f = std::fopen(path, "wb");
    if (!f || std::fwrite(made.data(), 1, made.size(), f) != made.size() ||
        std::fclose(f) != 0) {
      std::fprintf(stderr, "transcripts: cannot write %s\n", path);
      return 2;
    }
    std::printf("%zu records, %zu changed\n", records, changed);
    return 0;
  }
  if (records == 0) {
    std::fprintf(stderr, "transcripts: no record in %s\n", path);
    return 2;
  }
  std::printf("%zu records, %zu changed\n", records, changed);
  return changed == 0 && made == file ? 0 : 1;
}
