// The fused multiply-add, chosen at run time. x86-64's baseline has none,
// so a build for any x86-64 CPU keeps a second copy of the fast paths,
// compiled for FMA, and takes it where the CPU has it. Both copies answer
// with the correctly rounded value, so the choice changes no bit: only
// which arguments the fast path leaves to the accurate one.
#pragma once
#include "crmath/dd.hpp"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__)) && \
    !defined(__FMA__) && !defined(DORVEX_NO_FMA_CLONE)
#define DORVEX_FMA_CLONE 1
#define DORVEX_FMA_TARGET [[gnu::target("fma")]]
// (libgcc's CPU model, filled in before main)
inline bool cpu_has_fma() {
  return __builtin_cpu_supports("fma");
}
#else
#define DORVEX_FMA_CLONE 0
constexpr bool cpu_has_fma() {
  return false;
}
#endif

// a * b exactly, fused where the copy is compiled for FMA (one
// instruction, exact: the product is rounded once, after the subtraction).
template <bool fused>
[[gnu::always_inline]] inline dd two_prod_as(double a, double b) {
  if constexpr (fused) {
    const double p = rounded(a * b);
    return {p, __builtin_fma(a, b, -p)};
  } else {
    return two_prod(a, b);
  }
}
