// Fixed-size unsigned big integer: just enough exact arithmetic to read a
// decimal number into a double and print a double's decimal digits.
#pragma once
#include <cstdint>

// 1600 bits: 10^343 * 2^80 (reading) and 2^1088 (printing) both fit.
struct big {
  static constexpr int cap = 50;
  std::uint32_t w[cap];  // little-endian 32-bit limbs
  int n;                 // limbs in use; the top one is nonzero
};

void big_set(big& x, std::uint64_t v);
void big_mul_small(big& x, std::uint32_t m);
void big_mul_pow10(big& x, int e);
void big_shl(big& x, int bits);
// Divides in place, returns the remainder.
std::uint32_t big_div_small(big& x, std::uint32_t d);
// True if the remainder of dividing by 10^e is nonzero; x becomes the quotient.
bool big_div_pow10(big& x, int e);
int big_bitlen(const big& x);
bool big_bit(const big& x, int i);
// True if any bit below position i is set.
bool big_any_below(const big& x, int i);
// Bits [i, i+64) as an integer.
std::uint64_t big_bits_at(const big& x, int i);
// Decimal digits, most significant first, into out (at least 480 bytes);
// returns their count ("0" for zero).
int big_digits(big x, char* out);
