#include "console/dialogue.hpp"

#include <cerrno>
#include <cstring>

#include "cell/cell.hpp"
#include "text/numtext.hpp"
#include "text/report.hpp"

namespace {

// The menu answer, 1 to 3, or 0 once input has ended.
int ask_mode(inchan& in, outchan& out, char (&bufr)[line_max]) {
  put(out,
      "How do you want to start?  Enter 1 for ABCDEF; 2 for real lattice;\n"
      "3 for recip. lattice: ");
  for (;;) {
    if (out.failed) return 0;  // nobody sees the questions any more
    const line_got got = next_line(in, bufr);
    if (got == line_got::end) return 0;
    if (got == line_got::line) {
      const int_scan i = scan_integer(bufr);
      if (i.got == scan_got::one && i.value >= 1 && i.value <= 3)
        return i.value;
    }
    put(out, "? ");
  }
}

// "%lf %lf %lf %lf %lf %lf": true once a line gives all six.
bool read_six(inchan& in, outchan& out, char (&bufr)[line_max],
              double (&v)[6]) {
  for (;;) {
    if (out.failed) return false;
    const line_got got = next_line(in, bufr);
    if (got == line_got::end) return false;
    if (got == line_got::line) {
      double t[6];
      const char* p = bufr;
      int n = 0;
      for (; n < 6; ++n) {
        const real_scan r = scan_real(p);
        if (r.got != scan_got::one) break;
        t[n] = r.value;
        p = r.next;
      }
      if (n == 6) {
        for (int k = 0; k < 6; ++k) v[k] = t[k];
        return true;
      }
    }
    put(out, "? ");
  }
}

void put_domain(outchan& err, const domain_error& e) {
  char text[domain_text_len];
  domain_text(e.fn, text);
  put(err, text, domain_text_len);  // in one piece
}

exit_status ask_and_convert(inchan& in, outchan& out, outchan& err) {
  int mode;
  double given[6];
  if (!ask(in, out, mode, given)) return exit_status::no_input;
  conversion c;
  convert_mode(mode, given, c);
  // Each domain report where the computation reaches it: those of
  // form_to_recip before "going to recipconv", the others after.
  bool going = mode != start::form;
  for (int k = 0; k < c.log.n; ++k) {
    if (!going && c.log.at[k].step != conv_step::form_to_recip) {
      put(out, "going to recipconv\n");
      going = true;
    }
    put_domain(err, c.log.at[k]);
  }
  if (!going) put(out, "going to recipconv\n");
  char text[report_max];
  put(out, text,
      static_cast<std::size_t>(report_text(c.form, c.direct, c.recip, text)));
  return exit_status::done;
}

// Every error a read or a write may report, said in glibc's words on every
// platform (MinGW and WASI word some of them otherwise); another one in the
// C library's.
struct error_words {
  int code;
  const char* text;
};
constexpr error_words error_texts[] = {
    {EPERM, "Operation not permitted"},
    {ENOENT, "No such file or directory"},
    {EINTR, "Interrupted system call"},
    {EIO, "Input/output error"},
    {ENXIO, "No such device or address"},
    {EBADF, "Bad file descriptor"},
    {EAGAIN, "Resource temporarily unavailable"},
    {ENOMEM, "Cannot allocate memory"},
    {EACCES, "Permission denied"},
    {EFAULT, "Bad address"},
    {EBUSY, "Device or resource busy"},
    {ENODEV, "No such device"},
    {EISDIR, "Is a directory"},
    {EINVAL, "Invalid argument"},
    {EFBIG, "File too large"},
    {ENOSPC, "No space left on device"},
    {ESPIPE, "Illegal seek"},
    {EROFS, "Read-only file system"},
    {EPIPE, "Broken pipe"},
#ifdef EDQUOT
    {EDQUOT, "Disk quota exceeded"},
#endif
#ifdef EOVERFLOW
    {EOVERFLOW, "Value too large for defined data type"},
#endif
#ifdef ENOTCONN
    {ENOTCONN, "Transport endpoint is not connected"},
    {ECONNRESET, "Connection reset by peer"},
    {ECONNREFUSED, "Connection refused"},
    {ECONNABORTED, "Software caused connection abort"},
    {ETIMEDOUT, "Connection timed out"},
    {ENOBUFS, "No buffer space available"},
    {ENETDOWN, "Network is down"},
    {ENETUNREACH, "Network is unreachable"},
    {EHOSTUNREACH, "No route to host"},
#endif
};

// "dorvex: cannot <what>: <reason>\n" in one write, so that nothing else
// written to the same place can land inside it.
void failure(outchan& err, const char* what, int error) {
  char line[200] = "dorvex: cannot ";
  std::size_t n = std::strlen(line);
  auto add = [&](const char* text) {
    for (; *text && n < sizeof line - 1; ++text) line[n++] = *text;
  };
  add(what);
  if (error != 0) {
    add(": ");
    add(error_text(error));
  }
  line[n++] = '\n';
  put(err, line, n);
}

}  // namespace

const char* error_text(int error) {
  for (const error_words& e : error_texts)
    // cppcheck-suppress useStlAlgorithm
    if (e.code == error) return e.text;
  return std::strerror(error);
}

bool ask(inchan& in, outchan& out, int& mode, double (&given)[6]) {
  char bufr[line_max];
  mode = ask_mode(in, out, bufr);
  if (mode == 0) return false;
  put(out, mode == start::form     ? "Enter A B C D E F:\n"
           : mode == start::direct ? "Enter a b c alpha beta gamma:\n"
                                   : "Enter a* b* c* alpha* beta* gamma*:\n");
  return read_six(in, out, bufr, given);
}

exit_status dialogue(inchan& in, outchan& out, outchan& err) {
  exit_status status = ask_and_convert(in, out, err);
  // At a terminal, the shell's prompt starts on a line of its own when the
  // input ended halfway along one.
  if (status == exit_status::no_input && in.error == 0 && out.unbuffered &&
      !out.failed && out.last != '\n')
    put(out, "\n");
  flush(out);
  // A failure is never reported as success or as a plain end of input.
  if (in.error != 0) {
    failure(err, "read standard input", in.error);
    status = exit_status::failed;
  }
  if (out.failed) {
    failure(err, "write standard output", out.error);
    status = exit_status::failed;
  }
  flush(err);
  return status;
}
