// Exact integer arithmetic behind reading and printing numbers and the
// correctly rounded functions: the powers of ten (as integers and as exact
// doubles), a 128-bit integer that is the same on every target, one
// rounding rule, one digit writer and a fixed-size big integer.
#pragma once
#include <bit>
#include <cstdint>

using u64 = std::uint64_t;

// 10^k for k = 0 to 19: every power of ten that fits 64 bits.
constexpr u64 ten_to[20] = {1,
                            10,
                            100,
                            1000,
                            10000,
                            100000,
                            1000000,
                            10000000,
                            100000000,
                            1000000000,
                            10000000000,
                            100000000000,
                            1000000000000,
                            10000000000000,
                            100000000000000,
                            1000000000000000,
                            10000000000000000,
                            100000000000000000,
                            1000000000000000000,
                            10000000000000000000u};

// 10^k as a double for k = 0 to 22: every power of ten a double holds
// exactly.
struct exact_doubles {
  double at[23];
};
constexpr exact_doubles ten_to_exactly = [] {
  exact_doubles t{};
  for (int k = 0; k < 23; ++k)
    t.at[k] = k < 20 ? static_cast<double>(ten_to[k])
                     : static_cast<double>(ten_to[19]) *
                           static_cast<double>(ten_to[k - 19]);
  return t;
}();

// Two halves, so 32-bit targets (no 128-bit type) compute the same bits.
struct u128 {
  u64 hi, lo;
};

// The portable product and quotient; mul and divide use the compiler's
// 128-bit type where it has one, and tests hold the two to each other.
constexpr u128 mul_portable(u64 a, u64 b) {
  const u64 a0 = a & 0xffffffff, a1 = a >> 32, b0 = b & 0xffffffff,
            b1 = b >> 32;
  const u64 p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
  const u64 mid = (p00 >> 32) + (p01 & 0xffffffff) + (p10 & 0xffffffff);
  return {p11 + (p01 >> 32) + (p10 >> 32) + (mid >> 32),
          mid << 32 | (p00 & 0xffffffff)};
}

// n / d; rest says whether the remainder is nonzero. d > 0.
constexpr u128 divide_portable(u128 n, u64 d, bool& rest) {
  u64 r = n.hi % d, q = 0;
  for (int i = 63; i >= 0; --i) {  // long division, one bit a step
    const bool carry = r >> 63;
    r = r << 1 | (n.lo >> i & 1);
    q <<= 1;
    if (carry || r >= d) {
      r -= d;
      q |= 1;
    }
  }
  rest = r != 0;
  return {n.hi / d, q};
}

#ifdef __SIZEOF_INT128__
using native128 = unsigned __int128;
inline u128 mul(u64 a, u64 b) {
  const native128 p = native128{a} * b;
  return {static_cast<u64>(p >> 64), static_cast<u64>(p)};
}
inline u128 divide(u128 n, u64 d, bool& rest) {
  const native128 v = native128{n.hi} << 64 | n.lo, q = v / d;
  rest = v - q * d != 0;
  return {static_cast<u64>(q >> 64), static_cast<u64>(q)};
}
#else
inline u128 mul(u64 a, u64 b) {
  return mul_portable(a, b);
}
inline u128 divide(u128 n, u64 d, bool& rest) {
  return divide_portable(n, d, rest);
}
#endif

constexpr u128 add(u128 a, u128 b) {
  const u64 lo = a.lo + b.lo;
  return {a.hi + b.hi + (lo < a.lo), lo};
}
constexpr u128 sub(u128 a, u128 b) {
  return {a.hi - b.hi - (a.lo < b.lo), a.lo - b.lo};
}
constexpr bool less(u128 a, u128 b) {
  return a.hi != b.hi ? a.hi < b.hi : a.lo < b.lo;
}
constexpr bool operator==(u128 a, u128 b) {
  return a.hi == b.hi && a.lo == b.lo;
}

// v * k; the product fits 128 bits.
inline u128 times(u128 v, u64 k) {
  const u128 lo = mul(v.lo, k);
  return {v.hi * k + lo.hi, lo.lo};
}

// The top half of a * b: the product of two fixed-point fractions.
inline u128 mulhi(u128 a, u128 b) {
  const u128 hh = mul(a.hi, b.hi), hl = mul(a.hi, b.lo), lh = mul(a.lo, b.hi),
             ll = mul(a.lo, b.lo);
  const u128 mid = add(add(u128{0, hl.lo}, u128{0, lh.lo}), u128{0, ll.hi});
  return add(add(hh, u128{0, hl.hi}), add(u128{0, lh.hi}, u128{0, mid.hi}));
}

constexpr int bitlen(u128 v) {
  return v.hi ? 128 - std::countl_zero(v.hi) : 64 - std::countl_zero(v.lo);
}

// s from 0 to 127.
constexpr u128 shr(u128 v, int s) {
  if (s == 0) return v;
  if (s >= 64) return {0, v.hi >> (s - 64)};
  return {v.hi >> s, v.lo >> s | v.hi << (64 - s)};
}
constexpr u128 shl(u128 v, int s) {
  if (s == 0) return v;
  if (s >= 64) return {v.lo << (s - 64), 0};
  return {v.hi << s | v.lo >> (64 - s), v.lo << s};
}

// True if any of the bits below position i is set; i from 0 to 128.
constexpr bool any_below(u128 v, int i) {
  if (i <= 0) return false;
  if (i < 64) return (v.lo & ((u64{1} << i) - 1)) != 0;
  if (i < 128) return v.lo != 0 || (v.hi & ((u64{1} << (i - 64)) - 1)) != 0;
  return v.lo != 0 || v.hi != 0;
}

// The one rounding rule, to nearest with ties to even: whether a kept
// value goes up by one, given that the part dropped is at least half a
// unit (half), more than half (more), and the kept value is odd.
constexpr bool rounds_up(bool half, bool more, bool odd) {
  return half && (more || odd);
}

// v / 2^s to the nearest integer, ties to even; sticky stands for nonzero
// bits already cut off below v. s from 0 to 127.
constexpr u128 round_shift(u128 v, int s, bool sticky) {
  if (s == 0) return v;
  u128 q = shr(v, s);
  const bool half = (shr(v, s - 1).lo & 1) != 0;
  if (rounds_up(half, sticky || any_below(v, s - 1), q.lo & 1)) {
    q.lo += 1;
    q.hi += q.lo == 0;
  }
  return q;
}

// Decimal digits of v.
constexpr int digit_count(u64 v) {
  // log10(2) ~ 1233 / 4096, corrected by one comparison
  const int t = (64 - std::countl_zero(v | 1)) * 1233 >> 12;
  return t + 1 - (v < ten_to[t]);
}

// The one digit writer: v in decimal, zero-padded to at least `width`
// digits, written backwards from its last digit; returns the count.
constexpr int put_digits(u64 v, int width, char* out) {
  const int n = digit_count(v) > width ? digit_count(v) : width;
  for (char* p = out + n; p != out; v /= 10)
    *--p = static_cast<char>('0' + v % 10);
  return n;
}

// Fixed-size unsigned integer. Its users' largest values, each checked
// where it is made: a square at the last path's 608 fraction bits (40
// limbs), a decimal string times 2^66 over 10^342 when reading (38), and
// DBL_MAX 10^9 when printing (33). An operation that would outgrow it
// stops the program rather than cut the value.
struct big {
  static constexpr int cap = 50;
  std::uint32_t w[cap];  // little-endian 32-bit limbs
  int n;                 // limbs in use; the top one is nonzero
};

void big_set(big& x, u64 v);
void big_mul_small(big& x, std::uint32_t m);
// Divides in place, returns the remainder. d > 0.
std::uint32_t big_div_small(big& x, std::uint32_t d);
void big_mul_pow10(big& x, int e);
void big_shl(big& x, int bits);
void big_shr(big& x, int bits);
void big_add(big& x, const big& y);
// x - y; y <= x.
void big_sub(big& x, const big& y);
// -1, 0, 1 as x <, ==, > y.
int big_cmp(const big& x, const big& y);
// x * y; the product fits big::cap limbs.
void big_mul(const big& x, const big& y, big& out);
// floor(sqrt(x)); x is used up.
void big_isqrt(big& x, big& root);
// Divides by 10^e in place; true if the remainder is nonzero.
bool big_div_pow10(big& x, int e);
int big_bitlen(const big& x);
// Bits [i, i + 128) of x; rest says whether any bit below i is set.
u128 big_bits_from(const big& x, int i, bool& rest);
// Decimal digits of x, most significant first, into out (330 bytes hold
// the largest: DBL_MAX * 10^9); returns their count.
int big_digits(big x, char* out);
