#include "numerics/fp_environment.hpp"

#include "numerics/binary128_sums.hpp"
#include "numerics/binary64_sums.hpp"
#include "numerics/extremes.hpp"

#include "numerics/fp_state_guard.hpp"
#include "numerics/processor_level.hpp"
#include "platform/processor_identification.hpp"
#include "platform/processor_state.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>
#include <memory>

namespace sshsum {
namespace {

using testing_support::FpStateGuard;

constexpr std::uint32_t kFtz = kMxcsrFlushToZero;
constexpr std::uint32_t kDaz = kMxcsrDenormalsAreZero;

TEST(NumericsFpEnvironment, ProcessorModesDecision) {
  struct Case {
    std::uint32_t mxcsr;
    unsigned request, level;
    std::uint32_t mask, expected;
  };
  const Case cases[] = {
      // Below 128 nothing changes, whatever the request and mask.
      {0x1F80, 3, 1, 0xFFFF, 0x1F80},
      {0x1F80, 3, 127, 0xFFFF, 0x1F80},
      {0x1F80, 1, 32, 0xFFFF, 0x1F80},
      // From 128 on: flush-to-zero as asked, denormals-are-zero only with
      // bit 6 of the capability mask.
      {0x1F80, 3, 128, 0xFFFF, 0x1F80 | kFtz | kDaz},
      {0x1F80, 3, 131072, 0xFFBF, 0x1F80 | kFtz},
      {0x1F80, 3, 512, 0, 0x1F80 | kFtz}, // zero mask: no support
      {0x1F80, 2, 128, 0x0040, 0x1F80 | kDaz},
      {0x1F80, 1, 128, 0xFFFF, 0x1F80 | kFtz},
      {0x1F80, 0, 131072, 0xFFFF, 0x1F80},
      // Nothing is ever cleared; other bits ride along.
      {0x1F80 | kFtz | 0x3F, 0, 128, 0, 0x1F80 | kFtz | 0x3F},
      {0x7F80 | kDaz, 1, 128, 0, 0x7F80 | kDaz | kFtz},
  };
  for (const Case &c : cases)
    EXPECT_EQ(processor_modes_mxcsr(c.mxcsr, c.request, c.level, c.mask),
              c.expected)
        << std::hex << c.mxcsr << " request " << c.request << " level "
        << std::dec << c.level << " mask " << std::hex << c.mask;
}

TEST(NumericsFpEnvironment, SetX87PrecisionReplacesOnlyThePrecisionField) {
  FpStateGuard guard;
  struct Case {
    std::uint16_t control, field;
  };
  const Case cases[] = {
      {0x0000, 0x0000}, {0x0100, 0x0300}, // reserved encoding -> 64 bits
      {0x0200, 0x0200}, {0x0300, 0x0300}, {0xFCFF, 0x0000},
      {0xFFFF, 0x0300}, {0x0D00, 0x0300}, {0x0E00, 0x0200},
  };
  for (std::uint16_t start :
       {std::uint16_t{0x037F}, std::uint16_t{0x0C7F}, std::uint16_t{0x047F}})
    for (const Case &c : cases) {
      write_x87_control_word(start);
      set_x87_precision(c.control);
      EXPECT_EQ(read_x87_control_word(),
                static_cast<std::uint16_t>((start & ~0x0300) | c.field))
          << std::hex << "start " << start << " control " << c.control;
    }
}

TEST(NumericsFpEnvironment, StartUpFromAFreshProcessState) {
  FpStateGuard guard;
  // A Linux process starts with x87 control word 0x037F (64-bit precision)
  // and MXCSR 0x1F80. Dirty both a little more: an exception flag raised in
  // each unit, flush-to-zero and denormals-are-zero on, rounding toward
  // zero in MXCSR (which step 3 must leave alone).
  write_x87_control_word(0x037F);
  volatile long double big = 1e4000L;
  volatile long double product = big * big; // x87 overflow flag
  (void)product;
  ASSERT_NE(read_x87_status_word() & 0x3F, 0);
  std::uint32_t dirty = 0x1F80 | 0x6000 | kFtz | 0x3F;
  if (testing_support::denormals_are_zero_supported())
    dirty |= kDaz;
  write_mxcsr(dirty);

  prepare_floating_point_environment();

  EXPECT_EQ(read_x87_control_word(), 0x027F); // 53 bits, nearest, masked
  EXPECT_EQ(read_x87_status_word() & 0x3F, 0);
  EXPECT_EQ(read_mxcsr(), 0x1F80u | 0x6000u);
  // Step 2 computed the level.
  EXPECT_EQ(current_processor_level(),
            processor_level(read_cpu_identification()));
}

TEST(NumericsFpEnvironment, StartUpMasksUnmaskedExceptions) {
  FpStateGuard guard;
  // Divide-by-zero unmasked in both units (nothing pending, so nothing
  // traps); the x87 denormal mask is cleared too, which step 3 keeps.
  clear_x87_exception_flags();
  write_x87_control_word(0x037B & ~0x0002);
  write_mxcsr(0x1F80 & ~0x0200u);

  prepare_floating_point_environment();

  EXPECT_EQ(read_x87_control_word(), 0x027D);
  EXPECT_EQ(read_mxcsr(), 0x1F80u);
}

TEST(NumericsFpEnvironment, AnalysisModesFollowTheClassification) {
  FpStateGuard guard;
  prepare_floating_point_environment();
  start_analysis_modes();
  const bool daz_expected = current_processor_level() >= 128 &&
                            testing_support::denormals_are_zero_supported();
  const std::uint32_t mxcsr = read_mxcsr();
  EXPECT_EQ(mxcsr & kFtz, kFtz); // on whatever the level
  EXPECT_EQ((mxcsr & kDaz) != 0, daz_expected);
  EXPECT_EQ(mxcsr & (kMxcsrMasks | kMxcsrRounding), kMxcsrMasks);
  EXPECT_EQ(read_x87_control_word(), 0x027F);
}

TEST(NumericsFpEnvironment, ExceptionalValuesNeverTrap) {
  // Under the run's settings every exception is masked: signaling and quiet
  // NaNs, opposite infinities, overflowing and tiny sums only raise flags.
  FpStateGuard guard;
  prepare_floating_point_environment();
  start_analysis_modes();
  auto data = std::make_unique<DatasetArray>();
  const double specials[] = {
      std::bit_cast<double>(0x7FF0000000000001ull), // signaling NaN
      std::numeric_limits<double>::quiet_NaN(),
      std::numeric_limits<double>::infinity(),
      -std::numeric_limits<double>::infinity(),
      std::numeric_limits<double>::max(),
      0x1p-1074,
      -0x1p-1060};
  for (int n = 0; n < kDatasetSize; ++n)
    data->data()[n] = specials[n % std::size(specials)];
  SumResults r;
  compute_extremes(*data, r);
  compute_binary64_sums(*data, r);
  compute_binary128_sums(*data, r);
  set_x87_precision(0x0300);
  compute_extended_sums(*data, r);
  EXPECT_TRUE(std::isnan(r.sum_row));
  EXPECT_EQ(r.ssh_max, std::numeric_limits<double>::infinity());
  EXPECT_NE(read_mxcsr() & kMxcsrFlags, 0u); // raised, never trapped
}

// The only x87 result the run keeps is the short path of the decimal input
// conversion, a product or quotient of exact operands. 7.9780335 is
// 79780335 / 10^7; by exact arithmetic (Python fractions) the quotient
// rounded once to 53 bits is 0x401FE9819D2391D5, and rounded to 64 bits and
// then to 53 bits it is 0x401FE9819D2391D6.
TEST(NumericsFpEnvironment, SwitchTo64BitPrecisionRoundsTwice) {
  FpStateGuard guard;
  volatile long double digits = 79780335.0L;
  volatile long double scale = 10000000.0L;

  prepare_floating_point_environment();
  start_analysis_modes();
  volatile double first = digits / scale;
  EXPECT_EQ(std::bit_cast<std::uint64_t>(static_cast<double>(first)),
            0x401FE9819D2391D5u);

  set_x87_precision(0x0300);
  EXPECT_EQ(read_x87_control_word() & 0x0300, 0x0300);
  volatile double second = digits / scale;
  EXPECT_EQ(std::bit_cast<std::uint64_t>(static_cast<double>(second)),
            0x401FE9819D2391D6u);
}

} // namespace
} // namespace sshsum
