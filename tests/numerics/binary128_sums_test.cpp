#include "numerics/binary128_sums.hpp"

#include "numerics/binary128_nan.hpp"
#include "numerics/binary64_sums.hpp"
#include "numerics/dataset_fixture.hpp"
#include "numerics/fp_state_guard.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <limits>
#include <random>
#include <string>

extern "C" {
#include <quadmath.h>
}

namespace sshsum {
namespace {

using namespace testing_support;

constexpr double kInf = std::numeric_limits<double>::infinity();

Binary128 q(const char *text) {
  return std::bit_cast<Binary128>(strtoflt128(text, nullptr));
}

bool is_nan128(Binary128 x) {
  return ((x.hi >> 48) & 0x7FFF) == 0x7FFF &&
         ((x.hi & 0xFFFFFFFFFFFF) | x.lo) != 0;
}

SumResults sums128(const DatasetArray &data) {
  SumResults r;
  compute_binary128_sums(data, r);
  return r;
}

// The binary128 results must not depend on the SSE modes: every case runs
// under flush-to-zero with denormals-are-zero off (false) and on (true).
class NumericsBinary128Sums : public AnalysisModesTest {};

TEST_P(NumericsBinary128Sums, TenthsSumExactly) {
  // binary64 0.1 is 3602879701896397 * 2^-55; 7680 of them are exactly
  // 27670116110564328960 * 2^-55 = 54043195528445955 * 2^-46 (Python
  // fractions), 56 significant bits, so no partial sum rounds.
  auto data = dataset_of(0.1);
  const SumResults r = sums128(*data);
  const char *exact = "768.0000000000000426325641456060111522674560546875";
  EXPECT_EQ(r.sum_row_16, q(exact));
  EXPECT_EQ(r.sum_col_16, q(exact));
  const __float128 by_integer = scalbnq(54043195528445955.0Q, -46);
  EXPECT_EQ(r.sum_row_16, std::bit_cast<Binary128>(by_integer));
  char text[80];
  quadmath_snprintf(text, sizeof text, "%.46Qf",
                    std::bit_cast<__float128>(r.sum_col_16));
  EXPECT_EQ(std::string(text), exact);
}

TEST_P(NumericsBinary128Sums, OrderMattersOnlyBeyond113Bits) {
  // 1.0E36 at (1, 1), -1.0E36 at (1, 2), 1.0 elsewhere (7678 ones).
  //  - position-major: the two large values are the first two visited and
  //    cancel exactly; then 62 + 119 * 64 = 7678 ones add exactly.
  //  - storage order: 1.0E36 > 2^119, whose binary128 ulp is 2^7, so each
  //    of the 119 ones of record 1 is rounded away; -1.0E36 cancels the
  //    large value exactly; then 119 + 62 * 120 = 7559 ones.
  auto data = dataset_of(1.0);
  data->at(1, 1) = 1.0e36;
  data->at(1, 2) = -1.0e36;
  const SumResults r = sums128(*data);
  EXPECT_EQ(r.sum_row_16, q("7678"));
  EXPECT_EQ(r.sum_col_16, q("7559"));
}

TEST_P(NumericsBinary128Sums, NegativeZerosSumToPositiveZero) {
  auto data = dataset_of(-0.0);
  const SumResults r = sums128(*data);
  EXPECT_EQ(r.sum_row_16, (Binary128{0, 0}));
  EXPECT_EQ(r.sum_col_16, (Binary128{0, 0}));
}

TEST_P(NumericsBinary128Sums, SmallestSubnormalEntersExactly) {
  // The binary64 sums flush the lone 2^-1074 away; the binary128 sums keep
  // it exactly, whatever MXCSR says.
  for (int at : {0, 1, 4711, 7679}) {
    auto data = dataset_of(0.0);
    data->data()[at] = kSmallestSubnormal;
    const SumResults r = sums128(*data);
    EXPECT_EQ(r.sum_row_16, q("0x1p-1074")) << "at " << at;
    EXPECT_EQ(r.sum_col_16, q("0x1p-1074")) << "at " << at;
    EXPECT_EQ(bits_of(interleaved_sum(*data, VisitingOrder::storage)),
              bits_of(0.0));
  }
}

TEST_P(NumericsBinary128Sums, ExceptionalValues) {
  auto data = dataset_of(2.0);
  data->at(60, 30) = std::numeric_limits<double>::quiet_NaN();
  SumResults r = sums128(*data);
  EXPECT_TRUE(is_nan128(r.sum_row_16));
  EXPECT_TRUE(is_nan128(r.sum_col_16));

  data = dataset_of(2.0);
  data->at(5, 9) = kInf;
  r = sums128(*data);
  EXPECT_EQ(r.sum_row_16, (Binary128{0, 0x7FFF000000000000}));
  EXPECT_EQ(r.sum_col_16, (Binary128{0, 0x7FFF000000000000}));

  data->at(100, 2) = -kInf;
  r = sums128(*data);
  EXPECT_EQ(r.sum_row_16, kDefaultNaN128);
  EXPECT_EQ(r.sum_col_16, kDefaultNaN128);
}

TEST_P(NumericsBinary128Sums, ExactSumsOfScaledIntegers) {
  // Values k * 2^-20 with |k| < 2^40: every partial sum is a multiple of
  // 2^-20 below 2^33 in magnitude, 73 bits at most, so both orders give the
  // exact sum, computed here in integers and converted once.
  std::mt19937_64 rng(16);
  for (int trial = 0; trial < 5; ++trial) {
    auto data = dataset_of(0.0);
    __int128 total = 0;
    for (int n = 0; n < kDatasetSize; ++n) {
      const std::int64_t k =
          static_cast<std::int64_t>(rng() >> 24) * (rng() & 1 ? 1 : -1);
      data->data()[n] = std::ldexp(static_cast<double>(k), -20);
      total += k;
    }
    const Binary128 expected =
        std::bit_cast<Binary128>(scalbnq(static_cast<__float128>(total), -20));
    const SumResults r = sums128(*data);
    EXPECT_EQ(r.sum_row_16, expected);
    EXPECT_EQ(r.sum_col_16, expected);
  }
}

INSTANTIATE_TEST_SUITE_P(DenormalsAreZero, NumericsBinary128Sums,
                         ::testing::Bool());

} // namespace
} // namespace sshsum
