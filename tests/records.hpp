// What the golden-file tools and the end-to-end tests share: reading a whole
// file, and the escaping of a record's bytes (corpus_gen writes inputs with
// it, transcripts writes outputs and must read back the same).
#pragma once
#include <cstdio>
#include <string>

// The whole file, or false if it cannot be read.
inline bool slurp(const char* path, std::string& s) {
  FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  char b[65536];
  for (std::size_t n; (n = std::fread(b, 1, sizeof b, f)) > 0;) s.append(b, n);
  std::fclose(f);
  return true;
}

// One byte as a record shows it: printable ASCII as it is, \\ \n \r \t,
// anything else as \xHH.
inline void escape(std::string& out, unsigned char c) {
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
