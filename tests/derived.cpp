// The values that follow a conversion, bit for bit, on every platform: for
// each golden request (transcripts --requests), given with standard
// uncertainties, V, V* in both conventions, the reciprocal lengths without
// 2 pi, the same request's reciprocal cell read back in convention 1, a
// hash of every s.u., and the reflections to an eighth of the longest edge
// with Cu K alpha1 (their count and a hash of every index, value and s.u.).
//   derived REQUESTS GOLDEN            compare with GOLDEN
//   derived REQUESTS GOLDEN --update   write GOLDEN anew
#include <bit>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "dorvex.h"
#include "records.hpp"

namespace {

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::string line;
  for (const char c : text)
    if (c == '\n') {
      out.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  return out;
}

std::string hex(double x) {
  char b[24];
  std::snprintf(b, sizeof b, "%016" PRIx64, std::bit_cast<std::uint64_t>(x));
  return b;
}

// FNV-1a over the bytes of each field, so that no padding counts.
std::uint64_t mix(std::uint64_t h, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) h = (h ^ ((v >> (8 * i)) & 0xff)) * 0x100000001b3;
  return h;
}

// One request's line: name TAB the values' bits.
std::string line_of(const std::string& name, int mode, const double (&in)[6]) {
  // each number with an s.u. of a part in 10^4 of it and 10^-5 more
  double su[6];
  for (int i = 0; i < 6; ++i)
    su[i] = std::isfinite(in[i]) ? std::fabs(in[i]) / 1e4 + 1e-5 : 0;
  dorvex_result r;
  dorvex_convert_su(mode, DORVEX_2PI, in, su, &r);
  std::string out = name;
  // the reciprocal cell in convention 1 given back: the same direct cell?
  dorvex_result back;
  dorvex_convert_as(DORVEX_RECIP, DORVEX_1, r.recip_1, &back);
  for (const double x :
       {r.volume, r.recip_volume, r.recip_volume_1, r.recip_1[0], r.recip_1[1],
        r.recip_1[2], back.direct[0], back.volume}) {
    out += ' ';
    out += hex(x);
  }
  // every s.u., hashed
  std::uint64_t u = 0xcbf29ce484222325;
  for (const double* run : {r.form_su, r.direct_su, r.recip_su, r.recip_1_su})
    for (int i = 0; i < 6; ++i)
      u = mix(u, std::bit_cast<std::uint64_t>(run[i]));
  for (const double x : {r.volume_su, r.recip_volume_su, r.recip_volume_1_su})
    u = mix(u, std::bit_cast<std::uint64_t>(x));
  char ub[24];
  std::snprintf(ub, sizeof ub, " %016" PRIx64, u);
  out += ub;
  double longest = r.direct[0];
  for (int i = 1; i < 3; ++i)
    if (r.direct[i] > longest) longest = r.direct[i];
  const double d_min = longest / 8;
  const double lambda = dorvex_wavelength("CuKa1");
  const std::ptrdiff_t n = dorvex_reflections(&r, d_min, lambda, nullptr, 0);
  out += ' ';
  out += std::to_string(n);
  if (n > 0) {
    std::vector<dorvex_reflection> all(static_cast<std::size_t>(n));
    dorvex_reflections(&r, d_min, lambda, all.data(), all.size());
    std::uint64_t h = 0xcbf29ce484222325;
    for (const dorvex_reflection& x : all) {
      h = mix(h, static_cast<std::uint64_t>(x.h));
      h = mix(h, static_cast<std::uint64_t>(x.k));
      h = mix(h, static_cast<std::uint64_t>(x.l));
      h = mix(h, std::bit_cast<std::uint64_t>(x.d));
      h = mix(h, std::bit_cast<std::uint64_t>(x.two_theta));
      h = mix(h, std::bit_cast<std::uint64_t>(x.d_su));
      h = mix(h, std::bit_cast<std::uint64_t>(x.two_theta_su));
    }
    char b[24];
    std::snprintf(b, sizeof b, " %016" PRIx64, h);
    out += b;
  }
  return out + "\n";
}

}  // namespace

int main(int argc, char** argv) {
  const bool update = argc == 4 && std::strcmp(argv[3], "--update") == 0;
  std::string requests, golden;
  if ((argc != 3 && !update) || !slurp(argv[1], requests)) {
    std::fprintf(stderr, "usage: derived REQUESTS GOLDEN [--update]\n");
    return 2;
  }
  std::string made;
  for (const std::string& line : lines(requests)) {
    const std::size_t t1 = line.find('\t'), t2 = line.find('\t', t1 + 1);
    if (t2 == std::string::npos) continue;
    double in[6];
    const char* p = line.c_str() + t2 + 1;
    for (double& x : in) {
      char* end;
      x = std::bit_cast<double>(
          static_cast<std::uint64_t>(std::strtoull(p, &end, 16)));
      p = end;
    }
    made += line_of(line.substr(0, t1), std::atoi(line.c_str() + t1 + 1), in);
  }
  if (update) {
    std::FILE* f = std::fopen(argv[2], "wb");
    const bool ok =
        f && std::fwrite(made.data(), 1, made.size(), f) == made.size();
    return f && std::fclose(f) == 0 && ok ? 0 : 2;
  }
  if (!slurp(argv[2], golden)) return 2;
  const std::vector<std::string> now = lines(made), want = lines(golden);
  std::size_t differ = now.size() != want.size();
  const std::size_t n = now.size() < want.size() ? now.size() : want.size();
  for (std::size_t i = 0; i < n; ++i)
    if (now[i] != want[i] && ++differ <= 3)
      std::fprintf(stderr, "--- golden\n%s\n+++ now\n%s\n", want[i].c_str(),
                   now[i].c_str());
  std::printf("%zu requests' derived values, %zu differ\n", n, differ);
  return n > 2000 && differ == 0 ? 0 : 1;
}
