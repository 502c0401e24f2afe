#pragma once

// The processor-specific rules for binary128 NaNs, kept in one place: which
// NaN an addition returns and what the default NaN looks like.

#include "numerics/binary128.hpp"

namespace sshsum {

// The NaN that an invalid addition (+Infinity plus -Infinity) delivers:
// sign 1, exponent 32767, quiet bit 1, every other significand bit 0
// (words W3..W0 = FFFF8000 00000000 00000000 00000000).
inline constexpr Binary128 kDefaultNaN128{0, 0xFFFF800000000000ull};

// `x` with its quiet bit set (a NaN stays a NaN, its payload kept).
Binary128 quiet_nan128(Binary128 x);

// The result of adding `a` and `b` when at least one of them is a NaN:
//   - exactly one NaN: that NaN;
//   - two NaNs: a quiet one before a signaling one; between two of the same
//     kind, the one whose trailing significand field is larger as an
//     unsigned number; with equal fields the negative one, and the second
//     operand when both have the same sign;
// always with the quiet bit set.
Binary128 propagate_nan128(Binary128 a, Binary128 b);

} // namespace sshsum
