// WebAssembly only: the struct's layout and the report's size for the
// JavaScript API, which reads the result out of the module's memory, so
// that no number of the C side is copied into it.
#include <cstddef>

#include "dorvex.h"

extern "C" {

std::size_t dorvex_layout_result_size(void) {
  return sizeof(dorvex_result);
}
std::size_t dorvex_layout_errors_at(void) {
  return offsetof(dorvex_result, n_domain_errors);
}
std::size_t dorvex_layout_error_size(void) {
  return sizeof(dorvex_domain_error);
}
std::size_t dorvex_layout_report_max(void) {
  return DORVEX_REPORT_MAX;
}

}  // extern "C"
