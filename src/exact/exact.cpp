#include "exact/exact.hpp"

#include <cstdlib>

namespace {

void trim(big& x) {
  while (x.n > 0 && x.w[x.n - 1] == 0) --x.n;
}

// Every user sizes its values to big::cap; one that outgrows it is a bug
// to stop at, not a value to cut.
void fits(int limbs) {
  if (limbs > big::cap) std::abort();
}

}  // namespace

void big_mul_small(big& x, std::uint32_t m) {
  u64 carry = 0;
  for (int i = 0; i < x.n; ++i) {
    const u64 t = u64{x.w[i]} * m + carry;
    x.w[i] = static_cast<std::uint32_t>(t);
    carry = t >> 32;
  }
  if (carry) {
    fits(x.n + 1);
    x.w[x.n++] = static_cast<std::uint32_t>(carry);
  }
}

std::uint32_t big_div_small(big& x, std::uint32_t d) {
  u64 rem = 0;
  for (int i = x.n - 1; i >= 0; --i) {
    const u64 t = rem << 32 | x.w[i];
    x.w[i] = static_cast<std::uint32_t>(t / d);
    rem = t % d;
  }
  trim(x);
  return static_cast<std::uint32_t>(rem);
}

namespace {

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
    big_mul_small(x, static_cast<std::uint32_t>(ten_to[k]));
  }
}

void big_shl(big& x, int bits) {
  if (x.n == 0) return;
  const int limbs = bits / 32, r = bits % 32;
  const int n = (big_bitlen(x) + bits + 31) / 32;
  fits(n);
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
    rest |= big_div_small(x, static_cast<std::uint32_t>(ten_to[k])) != 0;
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
    chunk[n++] = big_div_small(x, static_cast<std::uint32_t>(ten_to[9]));
  } while (x.n > 0);
  int len = put_digits(chunk[--n], 1, out);
  while (n > 0) len += put_digits(chunk[--n], 9, out + len);
  return len;
}

void big_shr(big& x, int bits) {
  const int limbs = bits / 32;
  const int n = x.n - limbs;
  for (int i = 0; i < n; ++i) x.w[i] = limb_at(x, bits + 32 * i);
  x.n = n > 0 ? n : 0;
  trim(x);
}

void big_add(big& x, const big& y) {
  u64 carry = 0;
  const int n = x.n > y.n ? x.n : y.n;
  for (int i = 0; i < n; ++i) {
    const u64 t = u64{i < x.n ? x.w[i] : 0u} + (i < y.n ? y.w[i] : 0u) + carry;
    x.w[i] = static_cast<std::uint32_t>(t);
    carry = t >> 32;
  }
  x.n = n;
  if (carry) {
    fits(x.n + 1);
    x.w[x.n++] = 1;
  }
}

void big_sub(big& x, const big& y) {
  u64 borrow = 0;
  for (int i = 0; i < x.n; ++i) {
    const u64 t = u64{x.w[i]} - (i < y.n ? y.w[i] : 0u) - borrow;
    x.w[i] = static_cast<std::uint32_t>(t);
    borrow = t >> 63;
  }
  trim(x);
}

int big_cmp(const big& x, const big& y) {
  if (x.n != y.n) return x.n < y.n ? -1 : 1;
  for (int i = x.n - 1; i >= 0; --i)
    if (x.w[i] != y.w[i]) return x.w[i] < y.w[i] ? -1 : 1;
  return 0;
}

void big_mul(const big& x, const big& y, big& out) {
  fits(x.n + y.n);
  out.n = x.n + y.n;
  for (int i = 0; i < out.n; ++i) out.w[i] = 0;
  for (int i = 0; i < x.n; ++i) {
    u64 carry = 0;
    for (int j = 0; j < y.n; ++j) {
      const u64 t = u64{x.w[i]} * y.w[j] + out.w[i + j] + carry;
      out.w[i + j] = static_cast<std::uint32_t>(t);
      carry = t >> 32;
    }
    out.w[i + y.n] = static_cast<std::uint32_t>(carry);
  }
  trim(out);
}

void big_isqrt(big& x, big& root) {
  // digit by digit, two bits of x to one bit of the root
  big bit, t;
  big_set(root, 0);
  if (x.n == 0) return;
  big_set(bit, 1);
  big_shl(bit, (big_bitlen(x) - 1) & ~1);
  while (bit.n > 0) {
    t = root;
    big_add(t, bit);
    big_shr(root, 1);
    if (big_cmp(x, t) >= 0) {
      big_sub(x, t);
      big_add(root, bit);
    }
    big_shr(bit, 2);
  }
}
