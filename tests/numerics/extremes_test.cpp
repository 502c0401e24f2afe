#include "numerics/extremes.hpp"

#include "numerics/dataset_fixture.hpp"
#include "numerics/fp_state_guard.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

namespace sshsum {
namespace {

using namespace testing_support;

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Every case runs under flush-to-zero with denormals-are-zero off (false)
// and on (true).
class NumericsExtremes : public AnalysisModesTest {};

TEST_P(NumericsExtremes, OrdinaryDataGiveTheLargestAndSmallestValue) {
  std::mt19937_64 rng(20260101);
  std::uniform_real_distribution<double> dist(-3.0, 3.0);
  auto data = dataset_of(0.0);
  for (int n = 0; n < kDatasetSize; ++n)
    data->data()[n] = dist(rng);
  // The largest value twice, once in each lane.
  data->data()[100] = 7.25;
  data->data()[7001] = 7.25;
  SumResults r;
  compute_extremes(*data, r);
  EXPECT_EQ(r.ssh_max, 7.25);
  EXPECT_EQ(r.ssh_min,
            *std::min_element(data->data(), data->data() + kDatasetSize));
}

TEST_P(NumericsExtremes, NaNValuesAreIgnored) {
  auto data = dataset_of(kNaN);
  SumResults r;
  compute_extremes(*data, r);
  EXPECT_EQ(r.ssh_max, -kInf);
  EXPECT_EQ(r.ssh_min, kInf);

  // NaN in both lanes around ordinary values, first and last.
  data->data()[1] = -2.0;
  data->data()[2] = 5.0;
  data->data()[7679] = -9.0;
  compute_extremes(*data, r);
  EXPECT_EQ(r.ssh_max, 5.0);
  EXPECT_EQ(r.ssh_min, -9.0);
}

TEST_P(NumericsExtremes, InfinitiesTakePart) {
  auto data = dataset_of(1.0);
  data->data()[4711] = kInf;
  data->data()[12] = -kInf;
  SumResults r;
  compute_extremes(*data, r);
  EXPECT_EQ(r.ssh_max, kInf);
  EXPECT_EQ(r.ssh_min, -kInf);
}

TEST_P(NumericsExtremes, SignedZerosKeepTheLaneAndTheFinalChoiceTakesL1) {
  // -0.0 at n = 0, +0.0 elsewhere: L0 keeps -0.0 (it was -Inf / +Inf, then
  // -0.0 won, and +0.0 never compares greater or less), L1 holds +0.0; the
  // final comparisons are false, so both results are L1 = +0.0.
  auto data = dataset_of(0.0);
  data->data()[0] = -0.0;
  SumResults r;
  compute_extremes(*data, r);
  EXPECT_EQ(bits_of(r.ssh_max), bits_of(0.0));
  EXPECT_EQ(bits_of(r.ssh_min), bits_of(0.0));

  // -0.0 at n = 1 only: L1 keeps -0.0 and the final choice takes it.
  data->data()[0] = 0.0;
  data->data()[1] = -0.0;
  compute_extremes(*data, r);
  EXPECT_EQ(bits_of(r.ssh_max), bits_of(-0.0));
  EXPECT_EQ(bits_of(r.ssh_min), bits_of(-0.0));
}

TEST_P(NumericsExtremes, SmallestSubnormalAmongZeros) {
  // 4.9E-324 in either lane: it is the maximum when compared exactly and a
  // zero under denormals-are-zero.
  for (int at : {0, 1, 2, 7679}) {
    auto data = dataset_of(0.0);
    data->data()[at] = kSmallestSubnormal;
    SumResults r;
    compute_extremes(*data, r);
    EXPECT_EQ(bits_of(r.ssh_max), bits_of(daz() ? 0.0 : kSmallestSubnormal))
        << "at " << at;
    EXPECT_EQ(bits_of(r.ssh_min), bits_of(0.0)) << "at " << at;
  }
}

TEST_P(NumericsExtremes, AWinningSubnormalPutsAZeroOfItsSignIntoTheLane) {
  // Against -1.0 the subnormal wins even under denormals-are-zero, and the
  // lane then receives +0.0 rather than the subnormal.
  auto data = dataset_of(-1.0);
  data->data()[3] = 3 * kSmallestSubnormal;
  SumResults r;
  compute_extremes(*data, r);
  EXPECT_EQ(bits_of(r.ssh_max), bits_of(daz() ? 0.0 : 3 * kSmallestSubnormal));
  EXPECT_EQ(r.ssh_min, -1.0);

  // Mirror image: a negative subnormal among +1.0 gives -0.0 as minimum.
  data = dataset_of(1.0);
  data->data()[6] = -kSmallestNormal / 2;
  compute_extremes(*data, r);
  EXPECT_EQ(r.ssh_max, 1.0);
  EXPECT_EQ(bits_of(r.ssh_min), bits_of(daz() ? -0.0 : -kSmallestNormal / 2));

  // The smallest normal number is compared exactly in both settings.
  data->data()[6] = -kSmallestNormal;
  compute_extremes(*data, r);
  EXPECT_EQ(r.ssh_min, -kSmallestNormal);
}

INSTANTIATE_TEST_SUITE_P(DenormalsAreZero, NumericsExtremes, ::testing::Bool());

} // namespace
} // namespace sshsum
