#pragma once

// Long path: M < 10^27 with the dropped-digit flag, any t that the range
// rules let through (-350 <= t <= 308). 64-bit powers of ten and one final
// integer rounding; returns the magnitude.

#include "input/binary64_rounding.hpp"

namespace sshsum {

RoundedBinary64 long_path(unsigned __int128 m, int t, bool dropped) noexcept;

} // namespace sshsum
