#pragma once

// The scaled value y = |x| * T(k) as an integer part and a fraction of up to
// five 64-bit words, every bit of the exact product kept; and the digit
// generator that multiplies the fraction by a power of ten word by word and
// takes the integer part, so that generating digits adds no error.

#include "report/binary_operand.hpp"
#include "report/scaling_power.hpp"

#include <cstdint>

namespace sshsum {

inline constexpr int kMaxFractionWords = 5;

struct ScaledFraction {
  // Integer part of y (0 after the exponent is settled; up to 9 before).
  std::uint64_t integer = 0;
  // Fraction: frac[0] holds the 64 bits after the point, frac[1] the next.
  std::uint64_t frac[kMaxFractionWords] = {};
  // Words still in use; zero words at the low end are dropped.
  int length = 0;
};

// y = S_x * S_T * 2^(exponent_x + exponent_T), exact: at most 2 + 2 words of
// product, shifted by at most a few bits so that the binary point falls on a
// word boundary (one extra word when y < 1/4).
ScaledFraction scale_operand(const BinaryOperand &x, const ScalingPower &t);

// Multiplies the fraction by 10^count (count <= 19, so that the integer
// part fits one word) and returns the integer part: the next `count` digits
// at once: the same digits as `count` multiplications by ten, each taking
// one digit. Words that become zero at the low end are dropped.
inline std::uint64_t next_digits(ScaledFraction &y, int count) {
  using u128 = unsigned __int128;
  std::uint64_t scale = 1;
  for (int i = 0; i < count; ++i)
    scale *= 10;
  std::uint64_t carry = 0;
  for (int i = y.length - 1; i >= 0; --i) {
    const u128 t = static_cast<u128>(y.frac[i]) * scale + carry;
    y.frac[i] = static_cast<std::uint64_t>(t);
    carry = static_cast<std::uint64_t>(t >> 64);
  }
  while (y.length > 0 && y.frac[y.length - 1] == 0)
    --y.length;
  return carry;
}

// Guard: the first bit of the fraction; sticky: any later bit.
inline bool guard_bit(const ScaledFraction &y) {
  return y.length > 0 && (y.frac[0] >> 63) != 0;
}
inline bool sticky_bit(const ScaledFraction &y) {
  if (y.length == 0)
    return false;
  if ((y.frac[0] << 1) != 0)
    return true;
  return y.length > 1; // trailing zero words are dropped
}

// The top 128 bits of the fraction.
inline unsigned __int128 top_128(const ScaledFraction &y) {
  using u128 = unsigned __int128;
  const std::uint64_t w0 = y.length > 0 ? y.frac[0] : 0;
  const std::uint64_t w1 = y.length > 1 ? y.frac[1] : 0;
  return (static_cast<u128>(w0) << 64) | w1;
}

} // namespace sshsum
