#pragma once

// Stage 3 of the decimal conversion: the three ways to the binary64 value
// of M * 10^t. Each returns the magnitude; the caller applies the sign.

#include "input/binary64_rounding.hpp"

#include <cstdint>

namespace sshsum {

// Integer path: M < 10^18, t = 0. M correctly rounded, under any processor
// setting.
double integer_path(std::uint64_t m) noexcept;

// Short path, first kind: M < 2^53 of `digits` significant digits, and
// |t| <= 22, or t > 22 with t + digits <= 37. One x87 multiplication or
// division, rounded to the x87 precision control, then to binary64.
double short_path_first(std::uint64_t m, int digits, int t) noexcept;

// Short path, second kind: M held exactly by binary64, |t| <= 22. Same
// arithmetic as the first kind, on M as a binary64 value.
double short_path_second(unsigned __int128 m, int t) noexcept;

// Long path: M < 10^27 with the dropped-digit flag, any t the range rules
// let through. 64-bit powers of ten and one final integer rounding.
RoundedBinary64 long_path(unsigned __int128 m, int t, bool dropped) noexcept;

} // namespace sshsum
