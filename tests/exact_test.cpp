// The exact integer arithmetic on every target: the 128-bit products and
// quotients against their portable forms, the big integer's comparison.
#include "exact/exact.hpp"

#include <gtest/gtest.h>

#include <random>

#include "oracle.hpp"

namespace {

TEST(Exact, ProductsAndQuotientsHoldOnEveryTarget) {
  // Quotients checked by multiplying back, the portable forms against the
  // ones the target uses: 32-bit targets have no 128-bit type.
  std::mt19937_64 rng(4);
  const long n = rounds(20000);
  for (int i = 0; i < n; ++i) {
    const u64 a = rng() >> (rng() % 64), b = rng() >> (rng() % 64);
    const u128 p = mul(a, b), pp = mul_portable(a, b);
    ASSERT_TRUE(p == pp && p.lo == a * b) << a << b;
    // where mul is mul_portable, only this holds it to something else
    bool left;
    ASSERT_TRUE(b == 0 || (divide(p, b, left) == u128{0, a} && !left))
        << a << b;
    const u128 num{rng() >> (rng() % 64), rng()};
    const u64 d = (rng() >> (rng() % 64)) | 1;
    bool rest, rest_p;
    const u128 q = divide(num, d, rest), qp = divide_portable(num, d, rest_p);
    ASSERT_TRUE(q.hi == qp.hi && q.lo == qp.lo && rest == rest_p);
    u128 back = mul(q.lo, d);  // q * d, then num - q * d: the remainder
    back.hi += q.hi * d;
    const u64 r = num.lo - back.lo;
    ASSERT_EQ(num.hi - back.hi - (num.lo < back.lo), 0u) << num.hi << d;
    ASSERT_TRUE(r < d && (r != 0) == rest) << num.hi << " " << d;
  }
}

// Big integers that differ in one limb only, the lowest, a middle or the
// top one, or in length: every limb counts.
TEST(Exact, BigComparisonSeesEveryLimb) {
  auto of = [](u64 hi, u64 lo) {  // hi * 2^64 + lo
    big x;
    big_set(x, hi);
    big_shl(x, 64);
    big y;
    big_set(y, lo);
    big_add(x, y);
    return x;
  };
  const struct {
    big a, b;
    int want;
  } rows[] = {
      {of(7, 5), of(7, 6), -1},         {of(7, 6), of(7, 5), 1},
      {of(7, 1ull << 40), of(7, 0), 1}, {of(6, ~0ull), of(7, 0), -1},
      {of(0, ~0ull), of(1, 0), -1},     {of(9, 9), of(9, 9), 0},
  };
  for (const auto& r : rows) EXPECT_EQ(big_cmp(r.a, r.b), r.want);
}

}  // namespace
