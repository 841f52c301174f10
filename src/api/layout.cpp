// WebAssembly only: the structs' layout and the report's size for the
// JavaScript API, which reads results out of the module's memory, so that
// no number of the C side is copied into it. Fields and types go by their
// names in dorvex.h.
#include <cstddef>
#include <cstring>

#include "dorvex.h"

namespace {

struct place {
  const char* name;
  std::size_t at;
};

#define FIELD(type, field) \
  { #type "." #field, offsetof(type, field) }
constexpr place places[] = {
    FIELD(dorvex_result, form),
    FIELD(dorvex_result, direct),
    FIELD(dorvex_result, recip),
    FIELD(dorvex_result, n_domain_errors),
    FIELD(dorvex_result, domain_errors),
    FIELD(dorvex_result, volume),
    FIELD(dorvex_result, recip_volume),
    FIELD(dorvex_result, recip_1),
    FIELD(dorvex_result, recip_volume_1),
    FIELD(dorvex_result, metric),
    FIELD(dorvex_result, form_su),
    FIELD(dorvex_result, direct_su),
    FIELD(dorvex_result, recip_su),
    FIELD(dorvex_result, recip_1_su),
    FIELD(dorvex_result, volume_su),
    FIELD(dorvex_result, recip_volume_su),
    FIELD(dorvex_result, recip_volume_1_su),
    FIELD(dorvex_result, mode),
    FIELD(dorvex_result, convention),
    FIELD(dorvex_result, given),
    FIELD(dorvex_result, given_su),
    FIELD(dorvex_reflection, h),
    FIELD(dorvex_reflection, k),
    FIELD(dorvex_reflection, l),
    FIELD(dorvex_reflection, d),
    FIELD(dorvex_reflection, two_theta),
    FIELD(dorvex_reflection, d_su),
    FIELD(dorvex_reflection, two_theta_su),
};
#undef FIELD

constexpr place sizes[] = {
    {"dorvex_result", sizeof(dorvex_result)},
    {"dorvex_domain_error", sizeof(dorvex_domain_error)},
    {"dorvex_reflection", sizeof(dorvex_reflection)},
    {"DORVEX_REPORT_MAX", DORVEX_REPORT_MAX},
};

std::size_t find(const place* table, std::size_t n, const char* name) {
  for (std::size_t i = 0; i < n; ++i)
    if (std::strcmp(table[i].name, name) == 0) return table[i].at;
  return static_cast<std::size_t>(-1);
}

}  // namespace

extern "C" {

// "type.field": its offset in bytes; (size_t) -1 for a name not known.
std::size_t dorvex_layout_offset(const char* name) {
  return find(places, sizeof places / sizeof places[0], name);
}

// A type's size in bytes, or DORVEX_REPORT_MAX; (size_t) -1 if not known.
std::size_t dorvex_layout_size(const char* name) {
  return find(sizes, sizeof sizes / sizeof sizes[0], name);
}

}  // extern "C"
