#include "numerics/powers_of_ten.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

extern "C" {
#include <quadmath.h>
}

namespace sshsum {
namespace {

// glibc's strtold is correctly rounded to the 64-bit significand of the x87
// extended format: an independent oracle for every 64-bit entry.
long double oracle64(int k) {
  char text[16];
  std::snprintf(text, sizeof text, "1e%d", k);
  return std::strtold(text, nullptr);
}

long double value_of(Power64 p) {
  return std::ldexp(static_cast<long double>(p.significand), p.exponent);
}

TEST(PowersOfTen, Every64BitEntryIsTheCorrectlyRoundedPower) {
  for (int k = kFineMin64; k <= kFineMax64; ++k) {
    const Power64 p = kFinePowers64[k - kFineMin64];
    EXPECT_EQ(value_of(p), oracle64(k)) << "10^" << k;
    EXPECT_TRUE(p.significand >> 63) << "10^" << k;
  }
  for (std::size_t i = 0; i < kCoarsePositive64.size(); ++i)
    EXPECT_EQ(value_of(kCoarsePositivePowers64[i]),
              oracle64(kCoarsePositive64[i]));
  for (std::size_t i = 0; i < kCoarseNegative64.size(); ++i)
    EXPECT_EQ(value_of(kCoarseNegativePowers64[i]),
              oracle64(-kCoarseNegative64[i]));
}

TEST(PowersOfTen, KnownEntries) {
  // 1/10 = 0.1100 1100 ... binary: the significand rounds up in its last bit.
  EXPECT_EQ(power_of_ten_64(-1), (Power64{0xCCCCCCCCCCCCCCCDull, -67}));
  EXPECT_EQ(power_of_ten_64(0), (Power64{1ull << 63, -63}));
  // 10^19 = 0x8AC7230489E80000 exactly.
  EXPECT_EQ(power_of_ten_64(19), (Power64{0x8AC7230489E80000ull, 0}));
  // 1/10 to 128 bits: 0xCCCC...CCCD.
  EXPECT_EQ(power_of_ten_128(-1),
            (Power128{0xCCCCCCCCCCCCCCCCull, 0xCCCCCCCCCCCCCCCDull, -131}));
}

TEST(PowersOfTen, ExactEntriesAreExact) {
  // 10^k for k <= 27 is exact at 64 bits, 10^55 at 128 bits: shifting the
  // significand back must reproduce 5^k times a power of two with no bits
  // lost, i.e. significand = 5^k << (63 - bitlength(5^k) + 1).
  unsigned __int128 five = 1;
  for (int k = 0; k <= 27; ++k) {
    const Power64 p = power_of_ten_64(k);
    unsigned __int128 v = five;
    int shift = 0;
    while ((v >> 63) == 0) {
      v <<= 1;
      ++shift;
    }
    EXPECT_EQ(p.significand, static_cast<std::uint64_t>(v)) << k;
    EXPECT_EQ(p.exponent, k - shift) << k;
    five *= 5;
  }
}

TEST(PowersOfTen, Every128BitEntryAgreesWithQuadmath) {
  // libquadmath rounds 10^k correctly to 113 bits; the 128-bit entry must
  // lie within half a unit of the 113th bit of it.
  std::vector<int> ks;
  for (int k = kFineMin128; k <= kFineMax128; ++k)
    ks.push_back(k);
  for (int p : kCoarsePositive128)
    ks.push_back(p);
  for (int p : kCoarseNegative128)
    ks.push_back(-p);
  for (int k : ks) {
    const Power128 p = power_of_ten_128(k);
    ASSERT_TRUE(p.hi >> 63);
    char text[16];
    std::snprintf(text, sizeof text, "1e%d", k);
    const __float128 q = strtoflt128(text, nullptr);
    const __float128 top =
        ldexpq(static_cast<__float128>(p.hi), p.exponent + 64);
    const __float128 low = ldexpq(static_cast<__float128>(p.lo), p.exponent);
    const __float128 diff = fabsq((top - q) + low);
    EXPECT_LE(diff, ldexpq(fabsq(q), -113)) << "10^" << k;
  }
}

} // namespace
} // namespace sshsum
