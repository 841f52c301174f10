#include "bignum.hpp"

#include <cstring>

namespace {
constexpr std::uint32_t pow10_small[10] = {
    1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000};

void trim(big& x) {
  while (x.n > 0 && x.w[x.n - 1] == 0) --x.n;
}
}  // namespace

void big_set(big& x, std::uint64_t v) {
  x.w[0] = static_cast<std::uint32_t>(v);
  x.w[1] = static_cast<std::uint32_t>(v >> 32);
  x.n = 2;
  trim(x);
}

void big_mul_small(big& x, std::uint32_t m) {
  std::uint64_t carry = 0;
  for (int i = 0; i < x.n; ++i) {
    std::uint64_t t = std::uint64_t{x.w[i]} * m + carry;
    x.w[i] = static_cast<std::uint32_t>(t);
    carry = t >> 32;
  }
  if (carry && x.n < big::cap) x.w[x.n++] = static_cast<std::uint32_t>(carry);
  trim(x);
}

void big_mul_pow10(big& x, int e) {
  for (int k; e > 0; e -= k) {
    k = e < 9 ? e : 9;
    big_mul_small(x, pow10_small[k]);
  }
}

void big_shl(big& x, int bits) {
  if (x.n == 0) return;
  const int limbs = bits / 32, r = bits % 32;
  int n = x.n + limbs + 1;
  if (n > big::cap) n = big::cap;  // callers size their shifts to fit
  for (int i = n - 1; i >= 0; --i) {
    const int j = i - limbs;
    std::uint64_t hi = (j >= 0 && j < x.n) ? x.w[j] : 0;
    std::uint64_t lo = (j - 1 >= 0 && j - 1 < x.n) ? x.w[j - 1] : 0;
    x.w[i] = static_cast<std::uint32_t>(((hi << 32 | lo) << r) >> 32);
  }
  x.n = n;
  trim(x);
}

std::uint32_t big_div_small(big& x, std::uint32_t d) {
  std::uint64_t rem = 0;
  for (int i = x.n - 1; i >= 0; --i) {
    std::uint64_t t = rem << 32 | x.w[i];
    x.w[i] = static_cast<std::uint32_t>(t / d);
    rem = t % d;
  }
  trim(x);
  return static_cast<std::uint32_t>(rem);
}

bool big_div_pow10(big& x, int e) {
  bool rest = false;
  for (int k; e > 0; e -= k) {
    k = e < 9 ? e : 9;
    rest |= big_div_small(x, pow10_small[k]) != 0;
  }
  return rest;
}

int big_bitlen(const big& x) {
  if (x.n == 0) return 0;
  return 32 * (x.n - 1) + (32 - __builtin_clz(x.w[x.n - 1]));
}

bool big_bit(const big& x, int i) {
  if (i < 0 || i / 32 >= x.n) return false;
  return (x.w[i / 32] >> (i % 32)) & 1;
}

bool big_any_below(const big& x, int i) {
  for (int k = 0; k < x.n && 32 * k < i; ++k) {
    const int left = i - 32 * k;
    const std::uint32_t mask = left >= 32 ? ~0u : ((1u << left) - 1);
    if (x.w[k] & mask) return true;
  }
  return false;
}

std::uint64_t big_bits_at(const big& x, int i) {
  std::uint64_t v = 0;
  for (int k = 63; k >= 0; --k) v = v << 1 | (big_bit(x, i + k) ? 1 : 0);
  return v;
}

int big_digits(big x, char* out) {
  // Nine digits a step from the bottom, then reverse.
  char tmp[480];
  int len = 0;
  do {
    std::uint32_t chunk = big_div_small(x, pow10_small[9]);
    for (int k = 0; k < 9; ++k) {
      tmp[len++] = static_cast<char>('0' + chunk % 10);
      chunk /= 10;
    }
  } while (x.n > 0);
  while (len > 1 && tmp[len - 1] == '0') --len;
  for (int k = 0; k < len; ++k) out[k] = tmp[len - 1 - k];
  return len;
}
