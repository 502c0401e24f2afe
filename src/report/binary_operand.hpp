#pragma once

// A binary64 or binary128 value taken apart for the decimal conversion: sign,
// class, and for finite nonzero values an integer significand normalized to
// the top of one or two 64-bit words with its binary exponent.

#include "numerics/binary128.hpp"

#include <cstdint>

namespace sshsum {

struct BinaryOperand {
  int sign = 0; // 1 when the sign bit is set
  int kind = 0; // kKindNaN .. kKindInfinity, without the sign
  // Finite nonzero values only: |x| = S * 2^exponent, where S is the integer
  // word[0] (most significant) .. word[words - 1] with its top bit set.
  // Subnormal values are normalized like normal ones. Trailing zero words
  // are dropped, so a binary128 value widened from binary64 uses one word.
  std::uint64_t word[2] = {0, 0};
  int words = 0;
  int exponent = 0;

  // e of |x| = 2^e * (1 + g), 0 <= g < 1.
  int binary_exponent() const { return exponent + 64 * words - 1; }
  // The first 16 bits of g.
  std::uint32_t leading_fraction_bits() const {
    return static_cast<std::uint32_t>(word[0] >> 47) & 0xFFFFu;
  }
};

BinaryOperand unpack_operand(double x);
BinaryOperand unpack_operand(const Binary128 &x);

} // namespace sshsum
