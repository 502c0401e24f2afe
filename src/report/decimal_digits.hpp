#pragma once

// The record that both conversions of binary floating point to decimal text
// fill, with its classes, statuses and rounding modes.

#include <cstdint>
#include <string_view>

namespace sshsum {

// A conversion never computes more than this many significant digits; digits
// requested beyond them are "0".
inline constexpr int kMaxProducedDigits = 37;

// The longest digit string a request may ask for (the widest number field is
// 43 characters). Longer requests are cut to this length, so the fixed buffer
// below can never overflow.
inline constexpr int kMaxRequestedDigits = 120;

// `kind`: class of the input, negated for a negative input (NaN is 0).
inline constexpr std::int32_t kKindNaN = 0;
inline constexpr std::int32_t kKindZero = 1;
inline constexpr std::int32_t kKindSubnormal = 2;
inline constexpr std::int32_t kKindNormal = 3;
inline constexpr std::int32_t kKindInfinity = 4;

// `status`.
inline constexpr std::int32_t kStatusDigits = 0;
inline constexpr std::int32_t kStatusNaN = 10;
inline constexpr std::int32_t kStatusZero = 11;
inline constexpr std::int32_t kStatusInfinity = 12;

// Rounding modes: the low three bits of a request pick a 16-bit mask. The
// last kept digit is raised by one when bit i of the mask is set, with
// i = 8 * sign + 4 * sticky + 2 * lsb + guard.
inline constexpr std::uint16_t kRoundingMasks[8] = {
    0xA8A8, // 0: nearest, ties to even
    0x0000, // 1: toward zero
    0xFA00, // 2: toward minus infinity
    0xFA00, // 3
    0x00FA, // 4: toward plus infinity
    0x00FA, // 5
    0xAAAA, // 6: nearest, ties away from zero
    0xAAAA, // 7
};

inline constexpr int kModeNearestEven = 0;

struct DecimalDigits {
  // Position 0 holds "0" as a carry guard; the digits follow from position
  // 1, or start at position 0 when rounding carried out of the first digit.
  char digits[kMaxRequestedDigits + 2] = {};
  std::int32_t first = 0;    // index of the first digit (0 or 1)
  std::int32_t end = 0;      // index one past the last digit
  std::int32_t exponent = 0; // N: the value is 0.d1d2d3... * 10^N
  std::int32_t kind = 0;     // class of the input with its sign
  std::int32_t status = 0;   // 0, 10 NaN, 11 zero, 12 infinity

  std::string_view text() const {
    return {digits + first, static_cast<std::size_t>(end - first)};
  }
};

} // namespace sshsum
