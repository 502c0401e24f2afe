#include "report/decimal_exponent.hpp"

#include <cstdint>

namespace sshsum {

int estimate_decimal_exponent(const BinaryOperand &x) {
  const std::int64_t g =
      std::int64_t{x.binary_exponent()} * 65536 + x.leading_fraction_bits();
  const std::int64_t log10_2 = g < 0 ? 1292913987 : 1292913986;
  return static_cast<int>((g * log10_2) >> 48) + 1;
}

SettledExponent settle_decimal_exponent(const BinaryOperand &x) {
  const int estimate = estimate_decimal_exponent(x);
  SettledExponent settled;
  settled.exponent = estimate;
  if (in_64bit_reach(-estimate)) {
    const ScalingPower p = power_64bit_tier(-estimate);
    const ScaledFraction y = scale_operand(x, p);
    // 2^-58 is 64 units of the fraction's first word.
    constexpr std::uint64_t kMargin = 64;
    if (y.integer == 0 &&
        (p.exact || y.frac[0] < ~std::uint64_t{0} - kMargin)) {
      settled.tier = ScaleTier::bits64;
      settled.exact = p.exact;
      settled.scaled = y;
      return settled;
    }
    if (y.integer != 0 && (p.exact || y.integer > 1 || y.frac[0] >= kMargin)) {
      settled.exponent = estimate + 1;
      return settled;
    }
  }
  const ScalingPower p = power_128bit_tier(-estimate);
  const ScaledFraction y = scale_operand(x, p);
  if (y.integer != 0) {
    settled.exponent = estimate + 1;
    return settled;
  }
  settled.tier = ScaleTier::bits128;
  settled.exact = p.exact;
  settled.scaled = y;
  return settled;
}

} // namespace sshsum
