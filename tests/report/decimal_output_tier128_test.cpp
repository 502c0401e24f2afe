// The 128-bit tier produces one fixed digit, not always the correctly
// rounded one. The expectations below come from an exact rational model of
// that tier written separately in Python (fractions.Fraction): every power
// of ten rounded from its exact value, round128 as "keep 128 bits, add the
// 129th", digits and remainder from the exact product, ties to even by the
// mask. Random bit patterns; most of them were picked because the tier
// differs from correct rounding there (the correctly rounded digits are in
// the comments), a few where it agrees.

#include "report/decimal_output.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>

namespace sshsum {
namespace {

struct Case64 {
  std::uint64_t bits;
  int n;
  const char *digits;
  int exponent;
};

struct Case128 {
  std::uint64_t hi, lo;
  int n;
  const char *digits;
  int exponent;
};

TEST(DecimalOutputTier128, Binary64DigitsOfTheModel) {
  const Case64 cases[] = {
      // clang-format off
      {0x1B81D6170A8D9088ULL, 37, "3521251522674213063398028127622421412", -175}, // correctly rounded: ...413
      {0x617063B3A0EF2AFCULL, 37, "2304211442968638998827975083543947071", 162}, // correctly rounded: ...070
      {0x33DBE98B42946D14ULL, 36, "694794209144898689610857368461745645", -58}, // correctly rounded: ...646
      {0x42AA038D6432C977ULL, 22, "1430127968906073242187", 14}, // an exact tie: ...188
      {0x41DF94EFBC2B56D8ULL, 28, "2119417584677175521850585937", 10}, // an exact tie: ...938
      {0x427185ECC76B8141ULL, 24, "120418130092007836914063", 13}, // an exact tie: ...062
      {0x7953A6F252E6B438ULL, 22, "2721609280833544561985", 277},
      {0x5351D2286513270EULL, 19, "2323319888146899991", 94},
      {0x691F8412128B2F33ULL, 35, "23558459513947972322961985286129595", 199},
      {0x2ECEE4FC1818E811ULL, 36, "318062144041007577019051733185140375", -82},
      // clang-format on
  };
  for (const auto &c : cases) {
    const DecimalDigits d =
        significant_digit_conversion(std::bit_cast<double>(c.bits), c.n, 0);
    EXPECT_EQ(std::string(d.text()), c.digits) << std::hex << c.bits;
    EXPECT_EQ(d.exponent, c.exponent) << std::hex << c.bits;
  }
}

TEST(DecimalOutputTier128, Binary128DigitsOfTheModel) {
  const Case128 cases[] = {
      // clang-format off
      {0x3C84A21241D33F77ULL, 0x4E45FC750BAE4E9EULL, 37, "9892003708942565671825270975916567741", -268}, // correctly rounded: ...742
      {0x3C583B59A483A5CCULL, 0xC5F0CDF80D01A604ULL, 37, "4241379701069209936936810457601009891", -281}, // correctly rounded: ...890
      {0x406AC7367214440AULL, 0xF5AD2DBCA29F5C58ULL, 34, "2885253123821324823090106333252827", 33}, // correctly rounded: ...828
      {0x42E21DBA9BDA5375ULL, 0x4247F7BA23D8AF2CULL, 37, "3227610066933845623807668253420479775", 223}, // correctly rounded: ...776
      {0x438716BA5D487DF5ULL, 0x96382A1BF9550C53ULL, 37, "1472504706192184086735464996852227892", 273}, // correctly rounded: ...891
      {0x3CDB351FE982001BULL, 0x4628DB103C0C5204ULL, 37, "1131819489487943702288286418360457118", -241}, // correctly rounded: ...119
      {0x3DD7834F676F2C93ULL, 0xAAA852C8A1466539ULL, 20, "10262692852594644495", -165},
      {0x3DF4099509ACBEF6ULL, 0xC5C693D76B613643ULL, 33, "377808071553899496418202587088285", -157},
      {0x40A0FC8773EF31B0ULL, 0x660CECFBFCF48BC3ULL, 20, "58063760229734560897", 49},
      {0x3E38D7513ECDA9EAULL, 0xCAABFA1810C36A2EULL, 33, "197890728900938439624710660391816", -136},
      // clang-format on
  };
  for (const auto &c : cases) {
    const DecimalDigits d =
        significant_digit_conversion(Binary128{c.lo, c.hi}, c.n, 0);
    EXPECT_EQ(std::string(d.text()), c.digits) << std::hex << c.hi;
    EXPECT_EQ(d.exponent, c.exponent) << std::hex << c.hi;
  }
}

} // namespace
} // namespace sshsum
