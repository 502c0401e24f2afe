#pragma once

// Binary128 widening and addition for the binary128 sums.

#include "numerics/binary128.hpp"

namespace sshsum {

// The binary128 value equal to `x`, built on the bits, so the flush-to-zero
// and denormals-are-zero settings never touch it. With s, e (11 bits) and f
// (52 bits) the fields of `x`:
//   - a signaling NaN is made quiet first (bit 51 of f set);
//   - the sign is copied in every case;
//   - zero (e = 0, f = 0): a zero of the same sign;
//   - normal (1 <= e <= 2046): exponent e + 15360, fraction f * 2^60;
//   - subnormal (e = 0, f != 0), with k (0..51) the highest set bit of f:
//     f shifted left by 52 - k with the leading 1 dropped, exponent
//     15309 + k (f = 1 gives 2^-1074, a normal binary128 number);
//   - e = 2047: exponent 32767, fraction f * 2^60 (infinity or quiet NaN).
// Never rounds.
Binary128 widen_to_binary128(double x);

// IEEE 754 binary128 a + b, rounded to nearest with ties to even:
//   - NaN operands: propagate_nan128 (binary128_nan.hpp);
//   - infinities of opposite signs: kDefaultNaN128; otherwise an infinity
//     operand is the result;
//   - zeros: two zeros of the same sign give that zero, +0 plus -0 gives
//     +0, and x + (+-0) gives x;
//   - other finite operands: the exact sum rounded once to 113 bits, with
//     gradual underflow (subnormal results stay subnormal) whatever MXCSR
//     holds; an exact cancellation gives +0.
// The rounding direction is fixed to nearest-even: the run never selects
// another one.
Binary128 binary128_add(Binary128 a, Binary128 b);

} // namespace sshsum
