// The command line's words: which options there are, what they take, and
// what is said when one is wrong.
#include <cerrno>
#include <cstring>
#include <initializer_list>

#include "cell/cell.hpp"
#include "cell/derived.hpp"
#include "console/batch.hpp"
#include "console/dialogue.hpp"
#include "dorvex.h"

namespace {

constexpr const char usage[] =
    "usage: dorvex                 the dialogue: a description, six numbers, "
    "the report\n"
    "       dorvex --from direct|recip|form [--convention 2pi|1]\n"
    "                     [--format csv|json] [FILE...]\n"
    "       dorvex --help | --version\n"
    "\n"
    "--from converts rows of six numbers (blanks between; blank lines and\n"
    "lines from # on are skipped) from each FILE, or standard input, into\n"
    "CSV with a header (or JSON, an object a row): A,B,C,D,E,F, the direct\n"
    "cell a,b,c,alpha,beta,gamma, the reciprocal cell a*,...,gamma* in the\n"
    "convention asked (2pi, the default: a* = 2 pi / a; 1: a* = 1 / a), and\n"
    "the volumes V and V*. A row that is not six numbers is named on\n"
    "standard error, the others are converted, and the status is then 2.\n";

// "dorvex: " and the parts, then a line end, in one write.
void complain(outchan& err, std::initializer_list<const char*> parts) {
  char b[400] = "dorvex: ";
  for (const char* t : parts) std::strncat(b, t, sizeof b - std::strlen(b) - 2);
  std::strcat(b, "\n");
  put(err, b);
}

// The value a word names, by the list of words; -1 for none of them.
int which(const char* given, std::initializer_list<const char*> words) {
  int i = 0;
  for (const char* w : words) {
    if (std::strcmp(given, w) == 0) return i;
    ++i;
  }
  return -1;
}

// The end: standard output flushed, a loss said.
int finish(outchan& out, outchan& err, bool ok) {
  flush(out);
  if (out.failed) {
    complain(err, {"cannot write standard output", out.error != 0 ? ": " : "",
                   out.error != 0 ? error_text(out.error) : ""});
    ok = false;
  }
  flush(err);
  return ok ? 0 : 2;
}

}  // namespace

int command_line(int argc, const char* const* argv, inchan& in, outchan& out,
                 outchan& err) {
  batch_options o{-1, conv::two_pi, false};
  const char* files[256];
  int n_files = 0;
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i];
    if (std::strcmp(a, "--help") == 0) {
      put(out, usage);
      return finish(out, err, true);
    }
    if (std::strcmp(a, "--version") == 0) {
      put(out, "dorvex " DORVEX_VERSION "\n");
      return finish(out, err, true);
    }
    const int option = which(a, {"--from", "--convention", "--format"});
    if (option >= 0) {
      const char* v = i + 1 < argc ? argv[++i] : "";
      const int k = option == 0   ? which(v, {"form", "direct", "recip"})
                    : option == 1 ? which(v, {"2pi", "1"})
                                  : which(v, {"csv", "json"});
      if (k < 0) {
        complain(err, {a,
                       option == 0   ? " takes direct, recip or form, not \""
                       : option == 1 ? " takes 2pi or 1, not \""
                                     : " takes csv or json, not \"",
                       v, "\""});
        return finish(out, err, false);
      }
      if (option == 0) o.mode = start::form + k;
      if (option == 1) o.convention = k == 0 ? conv::two_pi : conv::one;
      if (option == 2) o.json = k == 1;
    } else if (a[0] == '-' && a[1] != '\0') {
      complain(err, {"unknown option ", a, " (dorvex --help lists them)"});
      return finish(out, err, false);
    } else if (n_files < 256) {
      files[n_files++] = a;
    } else {
      complain(err, {"more than 256 files"});
      return finish(out, err, false);
    }
  }
  if (o.mode < 0) {
    complain(err, {"--from is needed to convert rows (dorvex --help)"});
    return finish(out, err, false);
  }
  batch_run run{false, false};
  bool ok = true;
  if (n_files == 0) ok = convert_rows(in, "standard input", o, run, out, err);
  for (int f = 0; f < n_files && !out.failed; ++f) {
    const bool stdin_named = std::strcmp(files[f], "-") == 0;
    int fd = stdin_named ? 0 : fd_open(files[f]);
    if (fd < 0) {
      complain(err, {files[f], ": cannot open: ", error_text(errno)});
      ok = false;
      continue;
    }
    inchan file = in_from(fd_read, &fd);
    ok = convert_rows(stdin_named ? in : file,
                      stdin_named ? "standard input" : files[f], o, run, out,
                      err) &&
         ok;
    if (!stdin_named) fd_close(fd);
  }
  if (!run.headed) put_header(o, false, out);  // no row: the header alone
  return finish(out, err, ok);
}
