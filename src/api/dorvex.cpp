// The C API: thin, over the one conversion and the one report writer.
#include "dorvex.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "cell/cell.hpp"
#include "cell/derived.hpp"
#include "cell/uncertainty.hpp"
#include "text/numtext.hpp"
#include "text/report.hpp"

static_assert(DORVEX_REPORT_MAX == report_max);
static_assert(DORVEX_MAX_DOMAIN_ERRORS == max_domain_errors);
static_assert(DORVEX_FORM == start::form && DORVEX_DIRECT == start::direct &&
              DORVEX_RECIP == start::recip);
static_assert(DORVEX_2PI == conv::two_pi && DORVEX_1 == conv::one);
static_assert(sizeof(dorvex_reflection) == sizeof(reflection) &&
              offsetof(dorvex_reflection, d) == offsetof(reflection, d) &&
              offsetof(dorvex_reflection, two_theta) ==
                  offsetof(reflection, two_theta));

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

bool convention_known(int c) {
  return c == conv::two_pi || c == conv::one;
}

// One row converted, a reciprocal cell given in convention c; its metric
// and volume in double from the values given, when asked for (made before
// the angles, whose arc cosines hide the metric's divisions).
void convert_as(int mode, int c, const double* in, conversion& out, metric* m) {
  double given[6];
  std::memcpy(given, in, sizeof given);
  if (mode == start::recip) recip_from(c, given, given);
  convert_cosines(mode, given, out);
  if (m) *m = metric_of(mode, given, out);
  convert_angles(out);
}

// The s.u. of every value of a conversion into *out (all 0 without any).
void put_su(int mode, int convention, const double (&given)[6],
            const double (&su)[6], bool any, dorvex_result* out) {
  for (double* a :
       {out->form_su, out->direct_su, out->recip_su, out->recip_1_su})
    std::fill_n(a, 6, 0.0);
  out->volume_su = out->recip_volume_su = out->recip_volume_1_su = 0;
  if (!any) return;
  // the reciprocal cell's s.u. in each convention: the program's 2 pi
  // scales both it and its s.u.
  const propagation p = propagate(mode, convention, given);
  for (int i = 0; i < 6; ++i) {
    out->form_su[i] = su_of(p.form[i], su);
    out->direct_su[i] = su_of(p.direct[i], su);
    const double s = su_of(p.recip[i], su);
    const double to_2pi = i < 3 && convention == conv::one ? two_pi : 1;
    const double to_1 = i < 3 && convention == conv::two_pi ? 1 / two_pi : 1;
    out->recip_su[i] = s * to_2pi;
    out->recip_1_su[i] = s * to_1;
  }
  out->volume_su = su_of(p.volume, su);
  const double v = su_of(p.recip_volume, su);
  constexpr double cube = two_pi * two_pi * two_pi;
  out->recip_volume_su = convention == conv::one ? v * cube : v;
  out->recip_volume_1_su = convention == conv::one ? v : v / cube;
}

// text (n bytes) into buf as snprintf writes it: at most size bytes with
// the NUL, cut if need be.
void cut_into(const char* text, int n, char* buf, std::size_t size) {
  if (size == 0) return;
  const std::size_t k = static_cast<std::size_t>(n) < size
                            ? static_cast<std::size_t>(n)
                            : size - 1;
  std::memcpy(buf, text, k);
  buf[k] = '\0';
}

// A field of the struct a caller of size bytes has.
#define HAS(size, field) \
  (offsetof(dorvex_result, field) + sizeof(dorvex_result::field) <= (size))

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

// The volumes' arrays, where asked for, apart from each other and from
// every other array.
bool volumes_apart(const double* volume, const double* recip_vol,
                   const double* in, double* const (&out)[3], const int* counts,
                   std::size_t n) {
  const std::size_t rows = 6 * sizeof(double) * n, one = sizeof(double) * n;
  const std::size_t ints = counts ? sizeof(int) * n : 0;
  for (const double* v : {volume, recip_vol}) {
    if (!v) continue;
    if (overlap(v, one, in, rows) || overlap(v, one, counts, ints))
      return false;
    for (const double* o : out)
      // cppcheck-suppress useStlAlgorithm
      if (overlap(v, one, o, rows)) return false;
  }
  return !(volume && recip_vol && overlap(volume, one, recip_vol, one));
}

}  // namespace

extern "C" {

int dorvex_convert_sized(int mode, int convention, const double in[6],
                         const double su[6], dorvex_result* out,
                         std::size_t size) {
  if (!in || !out) return DORVEX_E_NULL;
  if (size < result_size_0_3 || size > sizeof(dorvex_result))
    return DORVEX_E_SIZE;
  if (mode < start::form || mode > start::recip) return DORVEX_E_MODE;
  if (!convention_known(convention)) return DORVEX_E_VALUE;
  // (copies first: in and su may point into *out)
  double given[6], given_su[6] = {};
  std::memcpy(given, in, sizeof given);
  bool any_su = false;
  if (su) {
    std::memcpy(given_su, su, sizeof given_su);
    for (const double s : given_su) {
      if (!(s >= 0) || !std::isfinite(s)) return DORVEX_E_VALUE;
      any_su = any_su || s > 0;
    }
  }
  conversion c;
  metric m;
  const bool derived = HAS(size, volume);
  convert_as(mode, convention, given, c, derived ? &m : nullptr);
  copy6(c.form, out->form);
  copy6(c.direct, out->direct);
  copy6(c.recip, out->recip);
  out->n_domain_errors = c.log.n;
  for (int k = 0; k < c.log.n; ++k)
    out->domain_errors[k] = {function_of(c.log.at[k].fn),
                             step_of(c.log.at[k].step), c.log.at[k].call};
  if (!derived) return DORVEX_OK;  // 0.3's struct
  if (HAS(size, metric)) copy6(m.form, out->metric);
  out->volume = m.volume;
  if (HAS(size, recip_volume))
    out->recip_volume = recip_volume(conv::two_pi, m.volume);
  if (HAS(size, recip_1)) recip_to(conv::one, c.recip, out->recip_1);
  if (HAS(size, recip_volume_1))
    out->recip_volume_1 = recip_volume(conv::one, m.volume);
  if (HAS(size, recip_volume_1_su))
    put_su(mode, convention, given, given_su, any_su, out);
  if (HAS(size, given_su)) {
    out->mode = mode;
    out->convention = convention;
    copy6(given, out->given);
    copy6(given_su, out->given_su);
  }
  return DORVEX_OK;
}

// What a program built against 0.3 calls: its struct holds 0.3's fields.
#undef dorvex_convert
int dorvex_convert(int mode, const double in[6], dorvex_result* out);
int dorvex_convert(int mode, const double in[6], dorvex_result* out) {
  return dorvex_convert_sized(mode, DORVEX_2PI, in, nullptr, out,
                              result_size_0_3);
}

int dorvex_convert_many(int mode, std::size_t n, const double* in, double* form,
                        double* direct, double* recip, int* n_domain_errors) {
  return dorvex_convert_many_as(mode, DORVEX_2PI, n, in, form, direct, recip,
                                nullptr, nullptr, n_domain_errors);
}

int dorvex_convert_many_as(int mode, int convention, std::size_t n,
                           const double* in, double* form, double* direct,
                           double* recip, double* volume, double* recip_vol,
                           int* n_domain_errors) {
  if (mode < start::form || mode > start::recip) return DORVEX_E_MODE;
  if (!convention_known(convention)) return DORVEX_E_VALUE;
  if (n == 0) return DORVEX_OK;
  if (!in || !form || !direct || !recip) return DORVEX_E_NULL;
  if (n > PTRDIFF_MAX / (6 * sizeof(double))) return DORVEX_E_RANGE;
  if (!arrays_apart(in, {form, direct, recip}, n_domain_errors, n) ||
      !volumes_apart(volume, recip_vol, in, {form, direct, recip},
                     n_domain_errors, n))
    return DORVEX_E_OVERLAP;
  for (std::size_t i = 0; i < n; ++i) {
    conversion c;
    metric m;
    convert_as(mode, convention, in + 6 * i, c,
               volume || recip_vol ? &m : nullptr);
    copy6(c.form, form + 6 * i);
    copy6(c.direct, direct + 6 * i);
    double r[6];
    recip_to(convention, c.recip, r);
    copy6(r, recip + 6 * i);
    if (n_domain_errors) n_domain_errors[i] = c.log.n;
    if (volume) volume[i] = m.volume;
    if (recip_vol) recip_vol[i] = recip_volume(convention, m.volume);
  }
  return DORVEX_OK;
}

std::ptrdiff_t dorvex_reflections(const dorvex_result* r, double d_min,
                                  double wavelength, dorvex_reflection* out,
                                  std::size_t cap) {
  if (!r || (!out && cap > 0)) return DORVEX_E_NULL;
  if (!(d_min > 0) || wavelength <= 0) return DORVEX_E_VALUE;
  MetricForm form;
  CellParams direct;
  copy6(r->metric, form);
  copy6(r->direct, direct);
  for (int i = 0; i < 6; ++i)
    if (!std::isfinite(form[i]) || (i < 3 && !std::isfinite(direct[i])))
      return DORVEX_E_CELL;
  bool any_su = false;
  for (const double s : r->given_su) any_su = any_su || s > 0;
  const propagation p =
      any_su ? propagate(r->mode, r->convention, r->given) : propagation{};
  const long n = reflections(
      form, direct, d_min, wavelength, any_su ? &p.form : nullptr,
      any_su ? &r->given_su : nullptr, reinterpret_cast<reflection*>(out), cap);
  return n < 0 ? std::ptrdiff_t{DORVEX_E_RANGE} : n;
}

const char* dorvex_xray_line(int index, double* wavelength) {
  const xray_line* line = xray_line_at(index);
  if (!line) return nullptr;
  if (wavelength) *wavelength = line->lambda;
  return line->name;
}

std::size_t dorvex_read_value(const char* text, double* value, double* su,
                              const char** why) {
  if (why) *why = nullptr;
  if (!text || !value || !su) return 0;
  const value_scan v = scan_value(text);
  if (v.got != scan_got::one) {
    if (why) *why = v.why;
    return 0;
  }
  *value = v.value;
  *su = v.su;
  return static_cast<std::size_t>(v.next - text);
}

int dorvex_format_su(double value, double su, char* buf, std::size_t size) {
  if (!buf && size > 0) return DORVEX_E_NULL;
  char text[su_text_max];
  const int n = format_su(value, su, text);
  cut_into(text, n, buf, size);
  return n;
}

double dorvex_wavelength(const char* name) {
  return line_wavelength(name ? name : "");
}

int dorvex_report(const dorvex_result* r, char* buf, std::size_t size) {
  if (!r || (!buf && size > 0)) return DORVEX_E_NULL;
  char text[report_max];
  const int n = report_text(r->form, r->direct, r->recip, text);
  cut_into(text, n, buf, size);
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
