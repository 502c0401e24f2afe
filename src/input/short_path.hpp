#pragma once

// Short path: M * 10^t or M / 10^-t in the x87 unit.
//
// M and 10^|t| (|t| <= 22; 5^22 < 2^53) are both exact, so the one x87
// operation sees exact operands. The x87 unit rounds its result to the
// significand width of the precision control in force (nearest, ties to
// even), and the store to binary64 rounds again:
//   - 53-bit precision control: the operation rounds straight to 53 bits and
//     the store changes nothing: the correctly rounded M * 10^t.
//   - 64-bit precision control: the exact value rounded to 64 bits, then to
//     53; for about one input in 8,000 this differs by one unit in the last
//     place from the correctly rounded value.
// The results lie between 10^-22 and 10^49, far inside the range of both
// formats, so neither rounding can overflow or reach a subnormal.
//
// How the operation is carried out, with the same result bit for bit:
//   - Under the 53-bit precision control with rounding to nearest (the first
//     reading), one rounding to 53 bits is exactly what one SSE2 binary64
//     operation does (the SSE rounding control is nearest for the whole run;
//     flush-to-zero and denormals-are-zero cannot act on these operands and
//     results), and it is several times faster than the x87 round trip.
//   - Under any other x87 setting (the 64-bit precision of the second
//     reading), the operation runs in the x87 unit itself on long double
//     operands (fild/fld, fmul/fdiv, fstp), so that the unit's own precision
//     and rounding control decide the first rounding and the store the
//     second. Nothing there may be folded into a binary64 operation.
#include "input/binary64_rounding.hpp"
#include "platform/processor_state.hpp"

#include <array>
#include <bit>
#include <cstdint>

namespace sshsum {
namespace short_detail {

// 10^0 .. 10^22, each exact in binary64.
inline constexpr std::array<double, 23> kExactPowers = [] {
  std::array<double, 23> p{};
  double v = 1.0;
  for (auto &x : p) {
    x = v;
    v *= 10.0;
  }
  return p;
}();

inline double scale_in_x87(long double m, int t) {
  const long double r = t >= 0 ? m * static_cast<long double>(kExactPowers[t])
                               : m / static_cast<long double>(kExactPowers[-t]);
  return static_cast<double>(r);
}

// M (exact in binary64) times 10^t, |t| <= 22, as the x87 unit under its
// current control word computes it.
inline double scale_by_power_of_ten(double m, int t) {
  const std::uint16_t control = read_x87_control_word();
  if ((control & (kX87Precision | kX87Rounding)) == kX87Precision53)
    return t >= 0 ? m * kExactPowers[t] : m / kExactPowers[-t];
  return scale_in_x87(m, t);
}

} // namespace short_detail

// Short path, first kind: M of `digits` significant digits, exact in
// binary64 (below 2^53, or even and of 16 digits), and |t| <= 22, or t > 22
// with t + digits <= 37.
inline double short_path_first(std::uint64_t m, int digits, int t) noexcept {
  using namespace short_detail;
  if (t > 22) {
    // t + digits <= 37 leaves digits <= 14: M * 10^(15 - digits) is an exact
    // integer below 10^15, and 10^(t + digits - 15) is at most 10^22.
    const int shift = 15 - digits;
    m *= static_cast<std::uint64_t>(kExactPowers[shift]);
    t -= shift;
  }
  // Exact in binary64: below 2^53, or even with M / 2 below 2^53.
  return scale_by_power_of_ten(static_cast<double>(m), t);
}

// Short path, second kind: M held exactly by binary64, |t| <= 22.
inline double short_path_second(unsigned __int128 m, int t) noexcept {
  using namespace short_detail;
  // M is exact in binary64, so this "rounding" changes nothing.
  const double exact =
      std::bit_cast<double>(round_to_binary64(m, 0, false).bits);
  if (t == 0)
    return exact;
  return scale_by_power_of_ten(exact, t);
}

} // namespace sshsum
