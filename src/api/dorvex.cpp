// The C API: thin, over the one conversion and the one report writer.
#include "dorvex.h"

#include <cstdint>
#include <cstring>

#include "cell/cell.hpp"
#include "text/numtext.hpp"
#include "text/report.hpp"

static_assert(DORVEX_REPORT_MAX == report_max);
static_assert(DORVEX_MAX_DOMAIN_ERRORS == max_domain_errors);
static_assert(DORVEX_FORM == start::form && DORVEX_DIRECT == start::direct &&
              DORVEX_RECIP == start::recip);

// The struct as 0.3 laid it out, which no later version may move: every
// caller's struct is at least this.
constexpr std::size_t result_size_0_3 = 304;
static_assert(offsetof(dorvex_result, domain_errors) +
                  sizeof dorvex_result::domain_errors ==
              result_size_0_3);

namespace {

int function_of(domain_fn fn) {
  return fn == domain_fn::sqrt ? DORVEX_SQRT : DORVEX_ACOS;
}

int step_of(conv_step step) {
  return step == conv_step::form_to_recip ? DORVEX_STEP_FORM_TO_RECIP
         : step == conv_step::recipconv   ? DORVEX_STEP_RECIPCONV
                                          : DORVEX_STEP_ANGLES;
}

void copy6(const double (&from)[6], double* to) {
  std::memcpy(to, from, sizeof from);
}

// Byte ranges [p, p + n), compared as addresses.
bool overlap(const void* p, std::size_t n, const void* q, std::size_t m) {
  const auto a = reinterpret_cast<std::uintptr_t>(p);
  const auto b = reinterpret_cast<std::uintptr_t>(q);
  return n > 0 && m > 0 && a < b + m && b < a + n;
}

// The rows' arrays as dorvex_convert_many allows them: each output is in
// or lies apart from it, and from every other output.
bool arrays_apart(const double* in, double* const (&out)[3], const int* counts,
                  std::size_t n) {
  const std::size_t rows = 6 * sizeof(double) * n;
  const std::size_t ints = counts ? sizeof(int) * n : 0;
  for (int i = 0; i < 3; ++i) {
    if (out[i] != in && overlap(out[i], rows, in, rows)) return false;
    if (overlap(out[i], rows, counts, ints)) return false;
    for (int j = 0; j < i; ++j)
      if (overlap(out[i], rows, out[j], rows)) return false;
  }
  return !overlap(in, rows, counts, ints);
}

}  // namespace

extern "C" {

int dorvex_convert_sized(int mode, const double in[6], dorvex_result* out,
                         std::size_t size) {
  if (!in || !out) return DORVEX_E_NULL;
  if (size < result_size_0_3 || size > sizeof(dorvex_result))
    return DORVEX_E_SIZE;
  double given[6];
  std::memcpy(given, in, sizeof given);
  conversion c;
  if (!convert_mode(mode, given, c)) return DORVEX_E_MODE;
  copy6(c.form, out->form);
  copy6(c.direct, out->direct);
  copy6(c.recip, out->recip);
  out->n_domain_errors = c.log.n;
  for (int k = 0; k < c.log.n; ++k)
    out->domain_errors[k] = {function_of(c.log.at[k].fn),
                             step_of(c.log.at[k].step), c.log.at[k].call};
  return DORVEX_OK;
}

// What a program built against 0.3 calls: its struct holds 0.3's fields.
#undef dorvex_convert
int dorvex_convert(int mode, const double in[6], dorvex_result* out);
int dorvex_convert(int mode, const double in[6], dorvex_result* out) {
  return dorvex_convert_sized(mode, in, out, result_size_0_3);
}

int dorvex_convert_many(int mode, std::size_t n, const double* in, double* form,
                        double* direct, double* recip, int* n_domain_errors) {
  if (mode < start::form || mode > start::recip) return DORVEX_E_MODE;
  if (n == 0) return DORVEX_OK;
  if (!in || !form || !direct || !recip) return DORVEX_E_NULL;
  if (n > PTRDIFF_MAX / (6 * sizeof(double))) return DORVEX_E_RANGE;
  if (!arrays_apart(in, {form, direct, recip}, n_domain_errors, n))
    return DORVEX_E_OVERLAP;
  for (std::size_t i = 0; i < n; ++i) {
    double given[6];
    std::memcpy(given, in + 6 * i, sizeof given);
    conversion c;
    convert_mode(mode, given, c);
    copy6(c.form, form + 6 * i);
    copy6(c.direct, direct + 6 * i);
    copy6(c.recip, recip + 6 * i);
    if (n_domain_errors) n_domain_errors[i] = c.log.n;
  }
  return DORVEX_OK;
}

int dorvex_report(const dorvex_result* r, char* buf, std::size_t size) {
  if (!r || (!buf && size > 0)) return DORVEX_E_NULL;
  char text[report_max];
  const int n = report_text(r->form, r->direct, r->recip, text);
  if (size > 0) {
    const std::size_t k = static_cast<std::size_t>(n) < size
                              ? static_cast<std::size_t>(n)
                              : size - 1;
    std::memcpy(buf, text, k);
    buf[k] = '\0';
  }
  return n;
}

std::size_t dorvex_read_number(const char* text, double* value) {
  if (!text || !value) return 0;
  const real_scan r = scan_real(text);
  if (r.got != scan_got::one) return 0;
  *value = r.value;
  return static_cast<std::size_t>(r.next - text);
}

const char* dorvex_function_name(int function) {
  return function == DORVEX_SQRT   ? domain_name(domain_fn::sqrt)
         : function == DORVEX_ACOS ? domain_name(domain_fn::acos)
                                   : nullptr;
}

const char* dorvex_step_name(int step) {
  return step == DORVEX_STEP_FORM_TO_RECIP ? "form_to_recip"
         : step == DORVEX_STEP_RECIPCONV   ? "recipconv"
         : step == DORVEX_STEP_ANGLES      ? "angles"
                                           : nullptr;
}

const char* dorvex_status_text(int status) {
  switch (status) {
    case DORVEX_OK:
      return "done";
    case DORVEX_E_MODE:
      return "mode not 1, 2 or 3";
    case DORVEX_E_NULL:
      return "a NULL pointer where a value must be";
    case DORVEX_E_SIZE:
      return "a struct size this library cannot fill";
    case DORVEX_E_OVERLAP:
      return "arrays overlap";
    case DORVEX_E_RANGE:
      return "more rows than memory can hold";
    default:
      return nullptr;
  }
}

const char* dorvex_version(void) {
  return DORVEX_VERSION;
}

int dorvex_version_number(void) {
  return DORVEX_VERSION_NUMBER;
}

}  // extern "C"
