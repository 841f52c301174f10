// The failure line for every error a read may report, in glibc's words on
// every platform: each code's words are those of error_words.txt, which
// on glibc itself must be strerror's.
//   error_words FILE   (lines "NAME<TAB>words")
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "console/chan.hpp"
#include "console/dialogue.hpp"
#include "memchan.hpp"

namespace {

// The codes of the platform's C library by name; one it lacks is not here.
const std::map<std::string, int> codes = {
    {"EPERM", EPERM},
    {"ENOENT", ENOENT},
    {"EINTR", EINTR},
    {"EIO", EIO},
    {"ENXIO", ENXIO},
    {"EBADF", EBADF},
    {"EAGAIN", EAGAIN},
    {"ENOMEM", ENOMEM},
    {"EACCES", EACCES},
    {"EFAULT", EFAULT},
    {"EBUSY", EBUSY},
    {"ENODEV", ENODEV},
    {"EISDIR", EISDIR},
    {"EINVAL", EINVAL},
    {"EFBIG", EFBIG},
    {"ENOSPC", ENOSPC},
    {"ESPIPE", ESPIPE},
    {"EROFS", EROFS},
    {"EPIPE", EPIPE},
#ifdef EDQUOT
    {"EDQUOT", EDQUOT},
#endif
#ifdef EOVERFLOW
    {"EOVERFLOW", EOVERFLOW},
#endif
#ifdef ENOTCONN
    {"ENOTCONN", ENOTCONN},
    {"ECONNRESET", ECONNRESET},
    {"ECONNREFUSED", ECONNREFUSED},
    {"ECONNABORTED", ECONNABORTED},
    {"ETIMEDOUT", ETIMEDOUT},
    {"ENOBUFS", ENOBUFS},
    {"ENETDOWN", ENETDOWN},
    {"ENETUNREACH", ENETUNREACH},
    {"EHOSTUNREACH", EHOSTUNREACH},
#endif
};

long fails(void* ctx, char*, std::size_t) {
  errno = *static_cast<int*>(ctx);
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  std::FILE* f = argc == 2 ? std::fopen(argv[1], "r") : nullptr;
  if (!f) {
    std::fprintf(stderr, "usage: error_words FILE\n");
    return 2;
  }
  int checked = 0, wrong = 0;
  char line[256];
  while (std::fgets(line, sizeof line, f)) {
    char* tab = std::strchr(line, '\t');
    if (!tab) continue;
    *tab = '\0';
    const std::string name = line, words(tab + 1, std::strcspn(tab + 1, "\n"));
    const auto code = codes.find(name);
    if (code == codes.end()) continue;
    int error = code->second;
    std::string out_text, err_text;
    inchan in = in_from(fails, &error);
    outchan out = out_to(text_write, &out_text, false);
    outchan err = out_to(text_write, &err_text, true);
    dialogue(in, out, err);
    const std::string want =
        "dorvex: cannot read standard input: " + words + "\n";
    bool ok = err_text == want;
#ifdef __GLIBC__
    ok = ok && words == std::strerror(error);
#endif
    if (!ok) {
      std::fprintf(stderr, "%s: %s", name.c_str(), err_text.c_str());
      ++wrong;
    }
    ++checked;
  }
  std::fclose(f);
  std::printf("%d error codes said, %d wrongly\n", checked, wrong);
  return checked >= 19 && wrong == 0 ? 0 : 1;
}
