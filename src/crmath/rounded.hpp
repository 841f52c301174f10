// The double arithmetic that every floating-point file here relies on:
// each operation rounded once, to double, to nearest. The build refuses
// the settings that break it, and rounded() makes the fused multiply-add
// that compilers may contract a * b + c into (GCC does by default, across
// statements) unable to change a bit.
#pragma once
#include <cfloat>

// x87 registers keep more bits than a double, so results would be rounded
// twice and differ from every other platform.
static_assert(FLT_EVAL_METHOD == 0,
              "doubles would carry excess precision here (x87?): build with "
              "SSE2 arithmetic, e.g. -msse2 -mfpmath=sse");
#if defined(__FAST_MATH__) || \
    (defined(__FINITE_MATH_ONLY__) && __FINITE_MATH_ONLY__)
#error \
    "-ffast-math and -ffinite-math-only reorder sums and drop NaN: build without them"
#endif

#if defined(__has_builtin)
#if __has_builtin(__builtin_assoc_barrier)
#define DORVEX_ASSOC_BARRIER
#endif
#endif

// x as rounded to double: no later operation can be fused with the one
// that made it. Error-free transformations (Knuth's sum, Veltkamp's split,
// Dekker's product) and the geometry's printed digits need the product
// a * b rounded before c is added. Costs nothing where FMA exists.
// (An empty asm first: GCC 12 drops __builtin_assoc_barrier when it packs
// a loop's products into vectors, and aarch64 then fuses them.)
inline double rounded(double x) {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
  __asm__("" : "+x"(x));  // a register the compiler cannot see into
#elif defined(__GNUC__) && (defined(__aarch64__) || defined(__arm__))
  __asm__("" : "+w"(x));
#elif defined(__GNUC__) && defined(__powerpc__)
  __asm__("" : "+d"(x));
#elif defined(__GNUC__) && defined(__s390x__)
  __asm__("" : "+f"(x));
#elif defined(DORVEX_ASSOC_BARRIER)
  x = __builtin_assoc_barrier(x);
#elif !defined(__wasm__)  // (WebAssembly has no scalar FMA to fuse into)
  volatile double v = x;  // any other compiler: through memory
  x = v;
#endif
  return x;
}
