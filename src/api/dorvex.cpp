// The C API: thin, over the one conversion and the one report writer.
#include "dorvex.h"

#include <cstring>

#include "cell/cell.hpp"
#include "dorvex/numtext.hpp"
#include "dorvex/report.hpp"

static_assert(DORVEX_REPORT_MAX == report_max);
static_assert(DORVEX_MAX_DOMAIN_ERRORS == max_domain_errors);
static_assert(DORVEX_FORM == start::form && DORVEX_DIRECT == start::direct &&
              DORVEX_RECIP == start::recip);

namespace {

int function_of(domain_fn fn) {
  return fn == domain_fn::sqrt ? DORVEX_SQRT : DORVEX_ACOS;
}

int step_of(conv_step step) {
  return step == conv_step::form_to_recip ? DORVEX_FORM_TO_RECIP
         : step == conv_step::recipconv   ? DORVEX_RECIPCONV
                                          : DORVEX_ANGLES;
}

void copy6(const double (&from)[6], double* to) {
  std::memcpy(to, from, sizeof from);
}

}  // namespace

extern "C" {

int dorvex_convert(int mode, const double in[6], dorvex_result* out) {
  double given[6];
  std::memcpy(given, in, sizeof given);
  conversion c;
  if (!convert_mode(mode, given, c)) return -1;
  copy6(c.form, out->form);
  copy6(c.direct, out->direct);
  copy6(c.recip, out->recip);
  out->n_domain_errors = c.log.n;
  for (int k = 0; k < c.log.n; ++k)
    out->domain_errors[k] = {function_of(c.log.at[k].fn),
                             step_of(c.log.at[k].step), c.log.at[k].call};
  return 0;
}

int dorvex_convert_many(int mode, size_t n, const double* in, double* form,
                        double* direct, double* recip, int* n_domain_errors) {
  if (mode < start::form || mode > start::recip) return -1;
  for (size_t i = 0; i < n; ++i) {
    double given[6];
    std::memcpy(given, in + 6 * i, sizeof given);
    conversion c;
    convert_mode(mode, given, c);
    copy6(c.form, form + 6 * i);
    copy6(c.direct, direct + 6 * i);
    copy6(c.recip, recip + 6 * i);
    if (n_domain_errors) n_domain_errors[i] = c.log.n;
  }
  return 0;
}

int dorvex_report(const dorvex_result* r, char* buf, size_t size) {
  char text[report_max];
  const int n = report_text(r->form, r->direct, r->recip, text);
  if (size > 0) {
    const size_t k =
        static_cast<size_t>(n) < size ? static_cast<size_t>(n) : size - 1;
    std::memcpy(buf, text, k);
    buf[k] = '\0';
  }
  return n;
}

int dorvex_read_number(const char* text, double* value) {
  const real_scan r = scan_real(text);
  if (r.got != scan_got::one) return 0;
  *value = r.value;
  return static_cast<int>(r.next - text);
}

const char* dorvex_function_name(int function) {
  return function == DORVEX_SQRT   ? domain_name(domain_fn::sqrt)
         : function == DORVEX_ACOS ? domain_name(domain_fn::acos)
                                   : nullptr;
}

const char* dorvex_version(void) {
  return DORVEX_VERSION;
}

}  // extern "C"
