#pragma once

// The decimal exponent N of a finite nonzero value, 10^(N-1) <= |x| < 10^N,
// found by an estimate and one correction, with the scaled value
// y = |x| * T(-N) that settled it when that one can be reused.

#include "report/binary_operand.hpp"
#include "report/scaled_fraction.hpp"

namespace sshsum {

// With |x| = 2^e * (1 + g): G = e * 65536 + (first 16 bits of g) is log2|x|
// in 16.16 fixed point, rounded down. G * 1292913986 (log10 2 in 0.32 fixed
// point, 0x4D104D42, rounded down; 1292913987 rounded up when G is negative)
// is log10|x| in 16.48 fixed point, slightly low; shifted right by 48 with
// the sign kept it is floor(log10|x|) or one less, so the estimate, one
// more, is N or N - 1, never more.
int estimate_decimal_exponent(const BinaryOperand &x);

enum class ScaleTier { none, bits64, bits128 };

struct SettledExponent {
  int exponent = 0; // N
  // y = |x| * T(-N) formed with the powers of `tier`, or none.
  ScaleTier tier = ScaleTier::none;
  bool exact = false; // that T(-N) was exactly 10^-N
  ScaledFraction scaled;
};

// N is the estimate, raised by one when the 128-bit scaled value
// |x| * T(-estimate) reaches 1. The 64-bit scaled value is tried first: its
// error is below 2^-58 (relative error 2^-63 on a value below 10), so when it
// lies farther than that from 1 it decides the same way; otherwise the
// 128-bit value decides.
SettledExponent settle_decimal_exponent(const BinaryOperand &x);

} // namespace sshsum
