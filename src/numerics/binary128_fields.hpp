#pragma once

// Field access on the binary128 interchange layout: sign in bit 63 of `hi`,
// biased exponent (bias 16383) in bits 62..48 of `hi`, trailing significand
// in bits 47..0 of `hi` followed by all of `lo`. The top bit of the
// significand field (bit 47 of `hi`) is the quiet bit of a NaN.

#include "numerics/binary128.hpp"

#include <cstdint>

namespace sshsum {

inline constexpr std::uint64_t kBinary128SignBit = 1ull << 63;
inline constexpr std::uint64_t kBinary128FractionHi = (1ull << 48) - 1;
inline constexpr std::uint64_t kBinary128QuietBit = 1ull << 47;
inline constexpr std::uint32_t kBinary128MaxExponent = 0x7FFF;

constexpr bool sign_of(Binary128 x) { return (x.hi & kBinary128SignBit) != 0; }

constexpr std::uint32_t biased_exponent(Binary128 x) {
  return static_cast<std::uint32_t>(x.hi >> 48) & kBinary128MaxExponent;
}

constexpr bool fraction_is_zero(Binary128 x) {
  return (x.hi & kBinary128FractionHi) == 0 && x.lo == 0;
}

constexpr bool is_nan(Binary128 x) {
  return biased_exponent(x) == kBinary128MaxExponent && !fraction_is_zero(x);
}

constexpr bool is_signaling_nan(Binary128 x) {
  return is_nan(x) && (x.hi & kBinary128QuietBit) == 0;
}

constexpr bool is_infinity(Binary128 x) {
  return biased_exponent(x) == kBinary128MaxExponent && fraction_is_zero(x);
}

constexpr bool is_zero(Binary128 x) {
  return biased_exponent(x) == 0 && fraction_is_zero(x);
}

constexpr Binary128 positive_zero128() { return Binary128{0, 0}; }

} // namespace sshsum
