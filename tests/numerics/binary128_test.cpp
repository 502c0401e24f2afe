#include "numerics/binary128_arith.hpp"
#include "numerics/binary128_nan.hpp"

#include "numerics/dataset_fixture.hpp"
#include "numerics/fp_state_guard.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <ostream>
#include <random>

extern "C" {
#include <quadmath.h>
}

namespace sshsum {

void PrintTo(const Binary128 &x, std::ostream *os) {
  char text[24];
  std::snprintf(text, sizeof text, "%016llx",
                static_cast<unsigned long long>(x.hi));
  *os << text << ':';
  std::snprintf(text, sizeof text, "%016llx",
                static_cast<unsigned long long>(x.lo));
  *os << text;
}

namespace {

using namespace testing_support;

// The outside oracle: glibc's libquadmath text conversion.
Binary128 q(const char *text) {
  return std::bit_cast<Binary128>(strtoflt128(text, nullptr));
}

constexpr Binary128 kPlusInf{0, 0x7FFF000000000000};
constexpr Binary128 kMinusInf{0, 0xFFFF000000000000};
constexpr Binary128 kPlusZero{0, 0};
constexpr Binary128 kMinusZero{0, 0x8000000000000000};

// A NaN with the given sign, quiet bit and remaining 111 field bits
// (47 in the high word, 64 in the low word).
Binary128 nan128(bool negative, bool quiet, std::uint64_t hi47,
                 std::uint64_t lo) {
  return Binary128{lo, (negative ? 1ull << 63 : 0) | 0x7FFF000000000000 |
                           (quiet ? 1ull << 47 : 0) | hi47};
}

// MXCSR settings under which binary128 results must not change: the IEEE
// default, the analysis setting with both SSE modes, and directed rounding
// (which the run never selects).
std::uint32_t mxcsr_settings(int k) {
  switch (k) {
  case 0:
    return 0x1F80;
  case 1:
    return denormals_are_zero_supported() ? analysis_mxcsr(true)
                                          : analysis_mxcsr(false);
  case 2:
    return 0x1F80 | 0x6000; // toward zero
  default:
    return 0x1F80 | 0x2000 | kMxcsrFlushToZero; // toward -Infinity
  }
}
constexpr int kSettings = 4;

TEST(NumericsBinary128, WideningFollowsTheBits) {
  struct Case {
    double x;
    Binary128 expected;
  };
  const Case cases[] = {
      {0.0, kPlusZero},
      {-0.0, kMinusZero},
      {1.0, q("1")},
      {-2.5, q("-2.5")},
      {0.1, q("0x1.999999999999ap-4")},
      {std::numeric_limits<double>::max(), q("0x1.fffffffffffffp1023")},
      {kSmallestNormal, q("0x1p-1022")},
      {-kSmallestNormal / 2, q("-0x1p-1023")},
      {kSmallestSubnormal, q("0x1p-1074")},
      {3 * kSmallestSubnormal, q("0x1.8p-1073")},
      {0x0.fffffffffffffp-1022, q("0x1.ffffffffffffep-1023")},
      {std::numeric_limits<double>::infinity(), kPlusInf},
      {-std::numeric_limits<double>::infinity(), kMinusInf},
  };
  // By hand: 2^-1074 is biased exponent 16383 - 1074 = 15309 with a zero
  // fraction.
  ASSERT_EQ(q("0x1p-1074"), (Binary128{0, 15309ull << 48}));
  FpStateGuard guard;
  for (int k = 0; k < kSettings; ++k) {
    write_mxcsr(mxcsr_settings(k));
    for (const Case &c : cases)
      EXPECT_EQ(widen_to_binary128(c.x), c.expected)
          << c.x << " mxcsr " << std::hex << mxcsr_settings(k);
  }
}

TEST(NumericsBinary128, WideningQuietsNaNsAndKeepsTheirPayload) {
  struct Case {
    std::uint64_t bits;
    Binary128 expected;
  };
  // Fraction f lands as f * 2^60: its top 48 bits end `hi`, its low 4 bits
  // head `lo`.
  const Case cases[] = {
      {0x7FF8000000000000, Binary128{0, 0x7FFF800000000000}},
      {0x7FF8000000000123, Binary128{0x3ull << 60, 0x7FFF800000000012}},
      {0x7FF0000000000001, Binary128{0x1ull << 60, 0x7FFF800000000000}},
      {0xFFF4000000000000, Binary128{0, 0xFFFFC00000000000}},
      {0xFFFFFFFFFFFFFFFF, Binary128{0xFull << 60, 0xFFFFFFFFFFFFFFFF}},
  };
  for (const Case &c : cases)
    EXPECT_EQ(widen_to_binary128(std::bit_cast<double>(c.bits)), c.expected)
        << std::hex << c.bits;
}

TEST(NumericsBinary128, WideningAgreesWithTheCompilersConversion) {
  // Random bit patterns over every finite class, checked against the
  // compiler's own binary64 -> binary128 conversion under the IEEE MXCSR.
  FpStateGuard guard;
  write_mxcsr(0x1F80);
  std::mt19937_64 rng(128);
  for (int t = 0; t < 20000; ++t) {
    std::uint64_t bits = rng();
    if (t % 4 == 0)
      bits &= 0x800FFFFFFFFFFFFF; // subnormal or zero
    const double x = std::bit_cast<double>(bits);
    if (std::isnan(x))
      continue;
    const __float128 wide = x;
    ASSERT_EQ(widen_to_binary128(x), std::bit_cast<Binary128>(wide))
        << std::hex << bits;
  }
}

struct AddCase {
  const char *what;
  Binary128 a, b, expected;
};

void expect_sums(const AddCase *cases, std::size_t count) {
  FpStateGuard guard;
  for (int k = 0; k < kSettings; ++k) {
    const std::uint32_t mxcsr = mxcsr_settings(k);
    write_mxcsr(mxcsr);
    for (std::size_t i = 0; i < count; ++i)
      EXPECT_EQ(binary128_add(cases[i].a, cases[i].b), cases[i].expected)
          << cases[i].what << ", mxcsr " << std::hex << mxcsr;
    // The caller's modes survive the addition.
    EXPECT_EQ(read_mxcsr() & ~kMxcsrFlags, mxcsr & ~kMxcsrFlags);
  }
}

TEST(NumericsBinary128, NaNChoice) {
  const Binary128 one = q("1");
  const Binary128 q5 = nan128(false, true, 0, 5);
  const Binary128 q9 = nan128(false, true, 0, 9);
  const Binary128 s5 = nan128(false, false, 0, 5);
  const Binary128 s9 = nan128(false, false, 0, 9);
  const Binary128 qhi = nan128(false, true, 2, 0);
  const Binary128 qlo = nan128(false, true, 1, ~0ull);
  const Binary128 neg_q5 = nan128(true, true, 0, 5);
  const Binary128 quiet_s5 = nan128(false, true, 0, 5);
  const Binary128 quiet_s9 = nan128(false, true, 0, 9);
  const AddCase cases[] = {
      {"NaN + 1", q9, one, q9},
      {"1 + NaN", one, q5, q5},
      {"sNaN + 1 is quieted", s9, one, quiet_s9},
      {"infinity + sNaN", kMinusInf, s5, quiet_s5},
      {"quiet before signaling (first)", q5, s9, q5},
      {"quiet before signaling (second)", s9, q5, q5},
      {"larger field (second)", q5, q9, q9},
      {"larger field (first)", q9, q5, q9},
      {"larger signaling field, quieted", s5, s9, quiet_s9},
      {"high word decides first", qlo, qhi, qhi},
      {"larger field beats sign", neg_q5, q9, q9},
      {"equal fields: the negative (second)", q5, neg_q5, neg_q5},
      {"equal fields: the negative (first)", neg_q5, q5, neg_q5},
      {"default NaN is a NaN like any other", kDefaultNaN128, q9, q9},
  };
  expect_sums(cases, std::size(cases));
}

TEST(NumericsBinary128, InfinitiesAndTheDefaultNaN) {
  // Default NaN, words W3..W0 = FFFF8000 0 0 0.
  ASSERT_EQ(kDefaultNaN128, (Binary128{0, 0xFFFF800000000000}));
  const Binary128 x = q("-12.5");
  const AddCase cases[] = {
      {"+inf + +inf", kPlusInf, kPlusInf, kPlusInf},
      {"-inf + -inf", kMinusInf, kMinusInf, kMinusInf},
      {"+inf + -inf", kPlusInf, kMinusInf, kDefaultNaN128},
      {"-inf + +inf", kMinusInf, kPlusInf, kDefaultNaN128},
      {"+inf + x", kPlusInf, x, kPlusInf},
      {"x + -inf", x, kMinusInf, kMinusInf},
      {"-0 + +inf", kMinusZero, kPlusInf, kPlusInf},
  };
  expect_sums(cases, std::size(cases));
}

TEST(NumericsBinary128, ZeroRules) {
  const Binary128 tiny = q("0x1p-16494"); // smallest subnormal
  const Binary128 three = q("3");
  const AddCase cases[] = {
      {"+0 + +0", kPlusZero, kPlusZero, kPlusZero},
      {"-0 + -0", kMinusZero, kMinusZero, kMinusZero},
      {"+0 + -0", kPlusZero, kMinusZero, kPlusZero},
      {"-0 + +0", kMinusZero, kPlusZero, kPlusZero},
      {"3 + -0", three, kMinusZero, three},
      {"-0 + 3", kMinusZero, three, three},
      {"subnormal + +0", tiny, kPlusZero, tiny},
      {"-0 + -subnormal", kMinusZero, q("-0x1p-16494"), q("-0x1p-16494")},
      {"3 + -3", three, q("-3"), kPlusZero},
      {"-3 + 3", q("-3"), three, kPlusZero},
      {"subnormal cancellation", tiny, q("-0x1p-16494"), kPlusZero},
  };
  expect_sums(cases, std::size(cases));
}

TEST(NumericsBinary128, FiniteSumsRoundOnceToNearestEven) {
  // Expected values by hand: the unit in the last place of 1 is 2^-112.
  const AddCase cases[] = {
      {"half ulp, tie to even (down)", q("1"), q("0x1p-113"), q("1")},
      {"half ulp, tie to even (up)", q("0x1.0000000000000000000000000001p0"),
       q("0x1p-113"), q("0x1.0000000000000000000000000002p0")},
      {"three quarters ulp rounds up", q("1"), q("0x1.8p-113"),
       q("0x1.0000000000000000000000000001p0")},
      {"quarter ulp rounds down", q("1"), q("0x1p-114"), q("1")},
      {"negative, three quarters ulp", q("-1"), q("-0x1.8p-113"),
       q("-0x1.0000000000000000000000000001p0")},
      {"exact", q("1.5"), q("-0.25"), q("1.25")},
      // Gradual underflow: subnormal operands and results stay exact.
      {"subnormal + subnormal", q("0x1p-16494"), q("0x1p-16494"),
       q("0x1p-16493")},
      {"normal - normal = subnormal", q("0x1.8p-16382"), q("-0x1p-16382"),
       q("0x1p-16383")},
      {"subnormal + subnormal = normal", q("0x1p-16383"), q("0x1p-16383"),
       q("0x1p-16382")},
      {"overflow to infinity", q("0x1.ffffffffffffffffffffffffffffp16383"),
       q("0x1p16271"), kPlusInf},
      {"overflow by a tie (odd significand)",
       q("0x1.ffffffffffffffffffffffffffffp16383"), q("0x1p16270"), kPlusInf},
      {"largest finite stays", q("0x1.ffffffffffffffffffffffffffffp16383"),
       q("0x1p16269"), q("0x1.ffffffffffffffffffffffffffffp16383")},
  };
  // The oracle itself, checked on one case by exact reasoning: 0x1p-16494
  // is the field value 1 with a zero exponent.
  ASSERT_EQ(q("0x1p-16494"), (Binary128{1, 0}));
  expect_sums(cases, std::size(cases));
}

} // namespace
} // namespace sshsum
