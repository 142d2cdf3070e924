// The portable 128-bit integer (used where the compiler has none, i686)
// against the native one, on the values the region rasterisers produce and
// on random ones.
#include "platform/graphics/Int128.h"

#include <gtest/gtest.h>

#include <random>

namespace ls {
namespace {

using Native = __int128;

Native ToNative(PortableInt128 v) {
  // Rebuilt from its parts through the type's own operations only.
  const PortableInt128 twoTo64 = PortableInt128(int64_t{1} << 62) * 4;
  PortableInt128 high = v / twoTo64;
  PortableInt128 low = v - high * twoTo64;
  if (low < 0) {  // truncating division: bring the low part into [0, 2^64)
    low += twoTo64;
    high -= 1;
  }
  const Native lowPart =
      static_cast<Native>(static_cast<uint64_t>(static_cast<int64_t>(low / 4)) * 4 +
                          static_cast<uint64_t>(static_cast<int64_t>(low % 4)));
  return static_cast<Native>(static_cast<int64_t>(high)) * (static_cast<Native>(1) << 64) + lowPart;
}

TEST(Int128Test, ArithmeticMatchesTheNativeType) {
  std::mt19937_64 random(7);
  const int64_t edges[] = {0, 1, -1, 2, -2, INT32_MAX, INT32_MIN, INT64_MAX, INT64_MIN + 1,
                           int64_t{1} << 40, -(int64_t{1} << 40), 3, -3, 1000003};
  std::vector<int64_t> values(std::begin(edges), std::end(edges));
  for (int i = 0; i < 200; ++i) values.push_back(static_cast<int64_t>(random()) >> (random() % 63));
  for (int64_t a : values) {
    for (int64_t b : values) {
      const PortableInt128 pa = a, pb = b;
      const Native na = a, nb = b;
      ASSERT_EQ(ToNative(pa * pb), na * nb) << a << " * " << b;
      ASSERT_EQ(ToNative(pa + pb), na + nb) << a << " + " << b;
      ASSERT_EQ(ToNative(pa - pb), na - nb) << a << " - " << b;
      ASSERT_EQ(pa < pb, na < nb) << a << " < " << b;
      ASSERT_EQ(pa == pb, na == nb);
      if (b != 0) {
        // The rasterisers divide products of two coordinates.
        const PortableInt128 product = pa * pb;
        const Native nativeProduct = na * nb;
        const int64_t divisor = b % 1000000007 == 0 ? 7 : b % 1000000007;
        ASSERT_EQ(ToNative(product / divisor), nativeProduct / divisor) << a << "*" << b << "/" << divisor;
        ASSERT_EQ(ToNative(product % divisor), nativeProduct % divisor) << a << "*" << b << "%" << divisor;
        ASSERT_EQ(ToNative(pa / pb), na / nb);
      }
    }
  }
  EXPECT_EQ(static_cast<long double>(PortableInt128(-5) * 3), -15.0L);
  EXPECT_EQ(static_cast<long double>(PortableInt128(int64_t{1} << 62) * 16), 73786976294838206464.0L);
}

}  // namespace
}  // namespace ls
