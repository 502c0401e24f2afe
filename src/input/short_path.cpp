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
// The operands are long double so that the compiler emits the x87 operation
// itself (fild/fld, fmul/fdiv, fstp); nothing here may be folded into a
// binary64 operation, which would round only once.
#include "input/conversion_paths.hpp"

#include <array>
#include <bit>

namespace sshsum {
namespace {

// 10^0 .. 10^22, each exact in binary64.
constexpr std::array<double, 23> kExactPowers = [] {
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

} // namespace

double short_path_first(std::uint64_t m, int digits, int t) noexcept {
  if (t > 22) {
    // t + digits <= 37 leaves digits <= 14: M * 10^(15 - digits) is an exact
    // integer below 10^15, and 10^(t + digits - 15) is at most 10^22.
    const int shift = 15 - digits;
    m *= static_cast<std::uint64_t>(kExactPowers[shift]);
    t -= shift;
  }
  return scale_in_x87(static_cast<long double>(static_cast<std::int64_t>(m)),
                      t);
}

double short_path_second(unsigned __int128 m, int t) noexcept {
  // M is exact in binary64, so this "rounding" changes nothing.
  const double exact =
      std::bit_cast<double>(round_to_binary64(m, 0, false).bits);
  if (t == 0)
    return exact;
  return scale_in_x87(exact, t);
}

} // namespace sshsum
