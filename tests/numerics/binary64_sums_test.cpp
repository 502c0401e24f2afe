#include "numerics/binary64_sums.hpp"

#include "numerics/dataset_fixture.hpp"
#include "numerics/fp_state_guard.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <random>
#include <vector>

namespace sshsum {
namespace {

using namespace testing_support;

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

double parse(const char *text) { return std::strtod(text, nullptr); }

SumResults all_sums(const DatasetArray &data) {
  SumResults r;
  compute_binary64_sums(data, r);
  compute_extended_sums(data, r);
  return r;
}

// The four-way interleaved sum written out with scalars, step by step, over
// an explicit visiting sequence: the reference for the vector code.
double reference_sum(const std::vector<double> &s) {
  double p[4] = {0.0, 0.0, 0.0, 0.0};
  for (std::size_t n = 0; n < s.size(); ++n)
    p[n % 4] = p[n % 4] + s[n];
  const double a = p[0] + p[2];
  const double b = p[1] + p[3];
  return a + b;
}

enum class Visit { storage, records_reversed, positions_reversed, plus, minus };

std::vector<double> sequence(const DatasetArray &d, Visit visit) {
  std::vector<double> s;
  const bool down = visit == Visit::positions_reversed;
  for (int r = 1; r <= kRecordCount; ++r) {
    const int j = visit == Visit::records_reversed ? kRecordCount + 1 - r : r;
    for (int k = 1; k <= kValuesPerRecord; ++k) {
      const double x = d.at(down ? kValuesPerRecord + 1 - k : k, j);
      if (visit == Visit::plus)
        s.push_back(x > 0.0 ? x : 0.0);
      else if (visit == Visit::minus)
        s.push_back(x < 0.0 ? x : 0.0);
      else
        s.push_back(x);
    }
  }
  return s;
}

// Every case runs under flush-to-zero with denormals-are-zero off (false)
// and on (true).
class NumericsBinary64Sums : public AnalysisModesTest {};

TEST_P(NumericsBinary64Sums, TenthsSumToTheInterleavedResult) {
  // Shortest forms checked against Python, whose float addition is the
  // same binary64 addition: the interleaved scheme gives
  // 767.9999999999735, a plain left-to-right sum 768.0000000001061.
  auto data = dataset_of(0.1);
  const SumResults r = all_sums(*data);
  const double expected = parse("767.9999999999735");
  for (double sum : {r.sum_row, r.sum_col, r.sum_row_reverse, r.sum_col_reverse,
                     r.sum_plus, r.sum_plus_minus, r.sum_row_10, r.sum_col_10})
    EXPECT_EQ(bits_of(sum), bits_of(expected));
  EXPECT_EQ(bits_of(r.sum_minus), bits_of(0.0));

  double plain = 0.0;
  for (int n = 0; n < kDatasetSize; ++n)
    plain += data->data()[n];
  EXPECT_EQ(plain, parse("768.0000000001061"));
}

TEST_P(NumericsBinary64Sums,
       LargeFirstValueEntersItsPartialSumAtDifferentMoments) {
  // 1.0E16 at (1, 1), 1.0 elsewhere; expected shortest forms from Python.
  auto data = dataset_of(1.0);
  data->at(1, 1) = 1.0e16;
  const SumResults r = all_sums(*data);
  EXPECT_EQ(r.sum_row, parse("1.000000000000576E16"));
  EXPECT_EQ(r.sum_col, parse("1.000000000000576E16"));
  EXPECT_EQ(r.sum_row_reverse, parse("1.0000000000007652E16"));
  EXPECT_EQ(r.sum_col_reverse, parse("1.0000000000005788E16"));
}

TEST_P(NumericsBinary64Sums, ZerosOfEitherSignSumToPositiveZero) {
  for (double zero : {0.0, -0.0}) {
    auto data = dataset_of(zero);
    const SumResults r = all_sums(*data);
    for (double sum : {r.sum_row, r.sum_col, r.sum_row_reverse,
                       r.sum_col_reverse, r.sum_plus, r.sum_minus,
                       r.sum_plus_minus, r.sum_row_10, r.sum_col_10})
      EXPECT_EQ(bits_of(sum), bits_of(0.0)) << "zero " << zero;
  }
}

TEST_P(NumericsBinary64Sums, ANaNSpoilsTheOrderedSumsOnly) {
  for (int at : {0, 1, 2, 3, 4711, 7679}) {
    auto data = dataset_of(1.0);
    for (int n = 0; n < kDatasetSize; n += 3)
      data->data()[n] = -2.0;
    data->data()[at] = kNaN;
    const SumResults r = all_sums(*data);
    for (double sum : {r.sum_row, r.sum_col, r.sum_row_reverse,
                       r.sum_col_reverse, r.sum_row_10, r.sum_col_10})
      EXPECT_TRUE(std::isnan(sum)) << "at " << at;
    // Exact integer counts: 2560 values of -2.0, 5120 of 1.0, one of them
    // replaced by the NaN.
    const bool nan_took_minus = at % 3 == 0;
    EXPECT_EQ(r.sum_plus, 5120.0 - (nan_took_minus ? 0 : 1)) << "at " << at;
    EXPECT_EQ(r.sum_minus, -5120.0 + (nan_took_minus ? 2 : 0)) << "at " << at;
    EXPECT_EQ(r.sum_plus_minus, r.sum_plus + r.sum_minus);
  }
}

TEST_P(NumericsBinary64Sums, OppositeInfinities) {
  auto data = dataset_of(0.5);
  data->at(7, 3) = kInf;
  data->at(120, 64) = -kInf;
  const SumResults r = all_sums(*data);
  EXPECT_EQ(r.sum_plus, kInf);
  EXPECT_EQ(r.sum_minus, -kInf);
  for (double sum : {r.sum_plus_minus, r.sum_row, r.sum_col, r.sum_row_reverse,
                     r.sum_col_reverse})
    EXPECT_TRUE(std::isnan(sum));
}

TEST_P(NumericsBinary64Sums, LoneSubnormalIsFlushedOrReadAsZero) {
  // Under flush-to-zero +0.0 + 4.9E-324 is a tiny result and becomes +0.0;
  // under denormals-are-zero the operand is already zero. Either way every
  // sum is +0.0. Tried in each of the four partial sums, with either sign.
  for (int at : {0, 1, 2, 3})
    for (double tiny : {kSmallestSubnormal, -kSmallestSubnormal}) {
      auto data = dataset_of(0.0);
      data->data()[at] = tiny;
      const SumResults r = all_sums(*data);
      for (double sum :
           {r.sum_row, r.sum_col, r.sum_row_reverse, r.sum_col_reverse,
            r.sum_plus, r.sum_minus, r.sum_plus_minus, r.sum_row_10})
        EXPECT_EQ(bits_of(sum), bits_of(0.0)) << "at " << at << " " << tiny;
    }
}

TEST_P(NumericsBinary64Sums, TinyResultsFlushToZeroOfTheirSign) {
  // -1.5 * 2^-1022 into each partial sum, then +2^-1022 into each: every
  // partial sum's exact value -2^-1023 is below the normal range and
  // becomes -0.0; the -0.0 filling keeps it so (-0.0 + -0.0 = -0.0), and
  // the final additions of four -0.0 give -0.0. Without flush-to-zero the
  // result would be -2^-1021.
  auto data = dataset_of(-0.0);
  for (int i = 1; i <= 4; ++i) {
    data->at(i, 1) = -1.5 * kSmallestNormal;
    data->at(i + 4, 1) = kSmallestNormal;
  }
  EXPECT_EQ(bits_of(interleaved_sum(*data, VisitingOrder::storage)),
            bits_of(-0.0));
}

TEST_P(NumericsBinary64Sums, DenormalsAreZeroActsOnOperandsAndComparisons) {
  // 2^-1022 at (1, 1) and -2^-1023 (subnormal) at (5, 1), both in P0 when
  // the record is visited upwards. Compared and added exactly, P0 =
  // 2^-1022 - 2^-1023 = 2^-1023 is tiny and flushes to +0.0. Under
  // denormals-are-zero the subnormal is read as -0.0 and P0 stays 2^-1022.
  // Visited downwards, both land in P3 with the subnormal first: -2^-1023
  // flushes to -0.0 (or is read as it), and 2^-1022 follows: 2^-1022 in
  // both settings. The sign selection takes 2^-1022 for sum_plus; for
  // sum_minus the subnormal alone flushes to -0.0 (or is not selected), and
  // the final additions with +0.0 make that +0.0.
  const bool daz = GetParam();
  auto data = dataset_of(0.0);
  data->at(1, 1) = kSmallestNormal;
  data->at(5, 1) = -kSmallestNormal / 2;
  const SumResults r = all_sums(*data);
  const double upwards = daz ? kSmallestNormal : 0.0;
  for (double sum : {r.sum_row, r.sum_col, r.sum_row_reverse})
    EXPECT_EQ(bits_of(sum), bits_of(upwards));
  EXPECT_EQ(bits_of(r.sum_col_reverse), bits_of(kSmallestNormal));
  EXPECT_EQ(bits_of(r.sum_plus), bits_of(kSmallestNormal));
  EXPECT_EQ(bits_of(r.sum_minus), bits_of(0.0));
  EXPECT_EQ(bits_of(r.sum_plus_minus), bits_of(kSmallestNormal));
}

TEST_P(NumericsBinary64Sums, ExtendedSumsFollowTheSecondReading) {
  // The same file read twice, one element moved by one unit in the last
  // place by the second reading (7.9780335: 0x401FE9819D2391D5 first,
  // 0x401FE9819D2391D6 second): the sums over `ssh_ext` see the new value.
  auto ssh = dataset_of(0.0);
  ssh->at(17, 5) = std::bit_cast<double>(0x401FE9819D2391D5ull);
  auto ssh_ext = std::make_unique<DatasetArray>(*ssh);
  SumResults r;
  compute_binary64_sums(*ssh, r);
  compute_extended_sums(*ssh_ext, r);
  EXPECT_EQ(bits_of(r.sum_row_10), bits_of(r.sum_row));
  ssh_ext->at(17, 5) = std::bit_cast<double>(0x401FE9819D2391D6ull);
  compute_extended_sums(*ssh_ext, r);
  EXPECT_EQ(bits_of(r.sum_row_10), 0x401FE9819D2391D6u);
  EXPECT_EQ(bits_of(r.sum_col_10), 0x401FE9819D2391D6u);
  EXPECT_EQ(bits_of(r.sum_row), 0x401FE9819D2391D5u);
}

TEST_P(NumericsBinary64Sums, VectorSchemeMatchesTheScalarSteps) {
  // Values spread over many magnitudes and both signs (and, one in fifty,
  // subnormal), so that the order of the additions shows in the low bits.
  std::mt19937_64 rng(77);
  std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
  std::uniform_int_distribution<int> exponent(-30, 30);
  for (int trial = 0; trial < 20; ++trial) {
    auto data = dataset_of(0.0);
    for (int n = 0; n < kDatasetSize; ++n)
      data->data()[n] = n % 50 == 7 ? mantissa(rng) * 0x1p-1030
                                    : std::ldexp(mantissa(rng), exponent(rng));
    const SumResults r = all_sums(*data);
    EXPECT_EQ(bits_of(r.sum_row),
              bits_of(reference_sum(sequence(*data, Visit::storage))));
    EXPECT_EQ(bits_of(r.sum_col), bits_of(r.sum_row));
    EXPECT_EQ(bits_of(r.sum_row_reverse),
              bits_of(reference_sum(sequence(*data, Visit::records_reversed))));
    EXPECT_EQ(
        bits_of(r.sum_col_reverse),
        bits_of(reference_sum(sequence(*data, Visit::positions_reversed))));
    const double plus = reference_sum(sequence(*data, Visit::plus));
    const double minus = reference_sum(sequence(*data, Visit::minus));
    EXPECT_EQ(bits_of(r.sum_plus), bits_of(plus));
    EXPECT_EQ(bits_of(r.sum_minus), bits_of(minus));
    EXPECT_EQ(bits_of(r.sum_plus_minus), bits_of(plus + minus));
    EXPECT_EQ(bits_of(r.sum_row_10), bits_of(r.sum_row));
    EXPECT_EQ(bits_of(r.sum_col_10), bits_of(r.sum_row));
  }
}

INSTANTIATE_TEST_SUITE_P(DenormalsAreZero, NumericsBinary64Sums,
                         ::testing::Bool());

// Which partial sum a value reaches, seen directly: a value 2^k placed at
// one position of an otherwise zero dataset, plus a value that cancels it
// only when both reach the same partial sum before the rest is added.
TEST(NumericsBinary64SumsOrder,
     AValueReachesThePartialSumOfItsPlaceInTheRecord) {
  FpStateGuard guard;
  write_mxcsr(analysis_mxcsr(false));
  // 2^60 at (1, 1) then -2^60 at (5, 1): same partial sum P0 in storage
  // order, so they cancel exactly and the 1.0 at (2, 1) survives: 1.0.
  // Visited downwards within the record, (1, 1) goes to P(119 mod 4) = P3
  // and (5, 1) to P(115 mod 4) = P3 as well: 1.0 again. Moving -2^60 to
  // (6, 1) puts it into the partial sum of the 1.0, P1 (upwards) or P2
  // (downwards), where 1.0 - 2^60 rounds to -2^60; A + B is then
  // 2^60 - 2^60 = 0.0.
  auto data = dataset_of(0.0);
  data->at(1, 1) = 0x1p60;
  data->at(5, 1) = -0x1p60;
  data->at(2, 1) = 1.0;
  EXPECT_EQ(interleaved_sum(*data, VisitingOrder::storage), 1.0);
  EXPECT_EQ(interleaved_sum(*data, VisitingOrder::records_reversed), 1.0);
  EXPECT_EQ(interleaved_sum(*data, VisitingOrder::positions_reversed), 1.0);
  data->at(5, 1) = 0.0;
  data->at(6, 1) = -0x1p60;
  EXPECT_EQ(interleaved_sum(*data, VisitingOrder::storage), 0.0);
  EXPECT_EQ(interleaved_sum(*data, VisitingOrder::positions_reversed), 0.0);
}

} // namespace
} // namespace sshsum
