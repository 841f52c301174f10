#include "dorvex/dialogue.hpp"

#include <cstring>

#include "cell/cell.hpp"
#include "dorvex/numtext.hpp"

namespace {

void to_err(void* ctx, const char* text, std::size_t len) {
  put(*static_cast<outchan*>(ctx), text, len);
}

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

void put_fixed(outchan& out, double x, int w, int p) {
  char text[fixed_max + 16];
  put(out, text, static_cast<std::size_t>(format_fixed(x, w, p, text)));
}

void report(outchan& out, CellParams& direct, CellParams& recip,
            const MetricForm& form) {
  // alpha, alpha*, beta, beta*, gamma, gamma*: the order of acos reports
  for (int i = slot::alpha; i <= slot::gamma; ++i) {
    direct[i] = cosines_to_angles(direct[i]);
    recip[i] = cosines_to_angles(recip[i]);
  }
  put(out, "ABCDEF = \n");
  for (double x : form) put_fixed(out, x, 12, 9);
  put(out, "\nDirect lattice a, b, c, alpha, beta, gamma =\n");
  for (double x : direct) {
    put(out, " ");
    put_fixed(out, x, 8, 4);
  }
  put(out, "\nRecip lattice a*, b*, c*, alpha*, beta*, gamma* =\n");
  for (double x : recip) {
    put(out, " ");
    put_fixed(out, x, 8, 4);
  }
  put(out, "\n");
}

exit_status ask_and_convert(inchan& in, outchan& out) {
  char bufr[line_max];
  CellParams direct, recip;
  MetricForm form;
  const int mode = ask_mode(in, out, bufr);
  switch (mode) {
    case 1:
      put(out, "Enter A B C D E F:\n");
      if (!read_six(in, out, bufr, form)) return exit_status::no_input;
      form_to_recip(form, recip);
      put(out, "going to recipconv\n");
      recipconv(recip, direct);
      break;
    case 2:    // a direct cell, or
    case 3: {  // a reciprocal one
      const bool direct_given = mode == 2;
      CellParams& given = direct_given ? direct : recip;
      CellParams& other = direct_given ? recip : direct;
      put(out, direct_given ? "Enter a b c alpha beta gamma:\n"
                            : "Enter a* b* c* alpha* beta* gamma*:\n");
      if (!read_six(in, out, bufr, given)) return exit_status::no_input;
      convert_cell(given, other, form, direct_given);
      break;
    }
    default:
      return exit_status::no_input;
  }
  report(out, direct, recip, form);
  return exit_status::done;
}

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
    add(std::strerror(error));
  }
  line[n++] = '\n';
  put(err, line, n);
}

}  // namespace

exit_status dialogue(inchan& in, outchan& out, outchan& err) {
  set_domain_sink(to_err, &err);
  exit_status status = ask_and_convert(in, out);
  set_domain_sink(nullptr, nullptr);
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
