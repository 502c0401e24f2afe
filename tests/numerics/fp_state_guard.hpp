#pragma once

// Test helpers for the floating-point control state. Every test that
// changes MXCSR or the x87 control word holds an FpStateGuard, which puts
// both back (and clears any x87 exception flag it raised) when the test
// ends.

#include "platform/processor_identification.hpp"
#include "platform/processor_state.hpp"

#include <gtest/gtest.h>

#include <cstdint>

namespace sshsum::testing_support {

class FpStateGuard {
public:
  FpStateGuard()
      : mxcsr_(read_mxcsr()), x87_control_(read_x87_control_word()) {}
  ~FpStateGuard() {
    clear_x87_exception_flags();
    write_x87_control_word(x87_control_);
    write_mxcsr(mxcsr_);
  }
  FpStateGuard(const FpStateGuard &) = delete;
  FpStateGuard &operator=(const FpStateGuard &) = delete;

private:
  std::uint32_t mxcsr_;
  std::uint16_t x87_control_;
};

// The MXCSR of the analysis: every exception masked, rounding to nearest,
// flush-to-zero on, denormals-are-zero as asked.
inline std::uint32_t analysis_mxcsr(bool denormals_are_zero) {
  return kMxcsrMasks | kMxcsrFlushToZero |
         (denormals_are_zero ? kMxcsrDenormalsAreZero : 0u);
}

// Whether this processor accepts the denormals-are-zero bit in MXCSR.
inline bool denormals_are_zero_supported() {
  return (read_mxcsr_mask() & kMxcsrDenormalsAreZero) != 0;
}

// A test run once with denormals-are-zero off (parameter false) and once on
// (true), always under the analysis's flush-to-zero; the state is restored
// afterwards.
class AnalysisModesTest : public ::testing::TestWithParam<bool> {
protected:
  void SetUp() override {
    if (daz() && !denormals_are_zero_supported())
      GTEST_SKIP() << "no denormals-are-zero on this processor";
    write_mxcsr(analysis_mxcsr(daz()));
  }
  bool daz() const { return GetParam(); }
  FpStateGuard guard_;
};

} // namespace sshsum::testing_support
