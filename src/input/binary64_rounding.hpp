#pragma once

// The final rounding shared by the integer and long paths: an exact binary
// value y * 2^exponent, plus a flag for nonzero bits already lost below y,
// rounded to the nearest binary64 value, ties to even, subnormals included.

#include <cstdint>

namespace sshsum {

inline constexpr std::uint64_t kBinary64Infinity = 0x7FF0000000000000;
inline constexpr std::uint64_t kBinary64Sign = 0x8000000000000000;

struct RoundedBinary64 {
  std::uint64_t bits; // the magnitude's bit pattern; infinity on overflow
  bool overflow;      // the rounded value reached 2^1024
};

RoundedBinary64 round_to_binary64(unsigned __int128 y, int exponent,
                                  bool sticky) noexcept;

} // namespace sshsum
