#include "dorvex/exact.hpp"

namespace {

void trim(big& x) {
  while (x.n > 0 && x.w[x.n - 1] == 0) --x.n;
}

void mul_small(big& x, std::uint32_t m) {
  u64 carry = 0;
  for (int i = 0; i < x.n; ++i) {
    const u64 t = u64{x.w[i]} * m + carry;
    x.w[i] = static_cast<std::uint32_t>(t);
    carry = t >> 32;
  }
  if (carry && x.n < big::cap) x.w[x.n++] = static_cast<std::uint32_t>(carry);
}

// Divides in place, returns the remainder.
std::uint32_t div_small(big& x, std::uint32_t d) {
  u64 rem = 0;
  for (int i = x.n - 1; i >= 0; --i) {
    const u64 t = rem << 32 | x.w[i];
    x.w[i] = static_cast<std::uint32_t>(t / d);
    rem = t % d;
  }
  trim(x);
  return static_cast<std::uint32_t>(rem);
}

// 32 bits of x from bit i on.
std::uint32_t limb_at(const big& x, int i) {
  const int j = i / 32, r = i % 32;
  const u64 lo = j < x.n ? x.w[j] : 0, hi = j + 1 < x.n ? x.w[j + 1] : 0;
  return static_cast<std::uint32_t>((hi << 32 | lo) >> r);
}

}  // namespace

void big_set(big& x, u64 v) {
  x.w[0] = static_cast<std::uint32_t>(v);
  x.w[1] = static_cast<std::uint32_t>(v >> 32);
  x.n = 2;
  trim(x);
}

void big_mul_pow10(big& x, int e) {
  for (int k; e > 0; e -= k) {
    k = e < 9 ? e : 9;
    mul_small(x, static_cast<std::uint32_t>(ten_to[k]));
  }
}

void big_shl(big& x, int bits) {
  if (x.n == 0) return;
  const int limbs = bits / 32, r = bits % 32;
  int n = x.n + limbs + 1;
  if (n > big::cap) n = big::cap;  // callers size their shifts to fit
  for (int i = n - 1; i >= 0; --i) {
    const int j = i - limbs;
    const u64 hi = (j >= 0 && j < x.n) ? x.w[j] : 0;
    const u64 lo = (j - 1 >= 0 && j - 1 < x.n) ? x.w[j - 1] : 0;
    x.w[i] = static_cast<std::uint32_t>(((hi << 32 | lo) << r) >> 32);
  }
  x.n = n;
  trim(x);
}

bool big_div_pow10(big& x, int e) {
  bool rest = false;
  for (int k; e > 0; e -= k) {
    k = e < 9 ? e : 9;
    rest |= div_small(x, static_cast<std::uint32_t>(ten_to[k])) != 0;
  }
  return rest;
}

int big_bitlen(const big& x) {
  if (x.n == 0) return 0;
  return 32 * (x.n - 1) + (32 - std::countl_zero(x.w[x.n - 1]));
}

u128 big_bits_from(const big& x, int i, bool& rest) {
  rest = false;
  for (int k = 0; k < x.n && 32 * k < i; ++k) {
    const int left = i - 32 * k;
    const std::uint32_t mask = left >= 32 ? ~0u : ((1u << left) - 1);
    rest = rest || (x.w[k] & mask) != 0;
  }
  return {u64{limb_at(x, i + 96)} << 32 | limb_at(x, i + 64),
          u64{limb_at(x, i + 32)} << 32 | limb_at(x, i)};
}

int big_digits(big x, char* out) {
  // Nine digits a step from the bottom; then the top chunk as it is and
  // the others zero-padded, most significant first.
  std::uint32_t chunk[big::cap * 32 / 29 + 1];
  int n = 0;
  do {
    chunk[n++] = div_small(x, static_cast<std::uint32_t>(ten_to[9]));
  } while (x.n > 0);
  int len = put_digits(chunk[--n], 1, out);
  while (n > 0) len += put_digits(chunk[--n], 9, out + len);
  return len;
}
