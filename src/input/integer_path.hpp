#pragma once

// Integer path: a whole number below 10^18 (< 2^60), t = 0.
//
// Up to 2^53 the conversion is exact. Above, the integer rounding of the
// long path rounds it once (nearest, ties to even), so that the result does
// not depend on the SSE rounding control.

#include "input/binary64_rounding.hpp"

#include <bit>
#include <cstdint>

namespace sshsum {

inline double integer_path(std::uint64_t m) noexcept {
  if (m <= (std::uint64_t(1) << 53))
    return static_cast<double>(m); // exact
  return std::bit_cast<double>(round_to_binary64(m, 0, false).bits);
}

} // namespace sshsum
