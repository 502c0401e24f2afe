// Rounding an exact 128-bit binary value to binary64.
//
// Steps:
//   1. L = bit length of y; the leading bit weighs 2^x with x = L - 1 + e.
//   2. The result keeps k bits: 53 for a normal result (x >= -1022), and
//      x + 1075 for a subnormal one, so that the lowest kept bit weighs
//      2^-1074 (k may be 0 or negative: then nothing is kept).
//   3. The guard bit is the first bit below the kept ones; sticky is every
//      bit below the guard, or'ed with the caller's flag.
//   4. Round to nearest, ties to even: add one when guard and (sticky or the
//      kept value is odd). A carry to 2^53 (or to 2^52 from a subnormal)
//      moves into the exponent field by itself, because the field is added
//      to, not or'ed with, the significand.
// The result is exact except for this one rounding.
#include "input/binary64_rounding.hpp"

#include <bit>

namespace sshsum {
namespace {

int bit_length(unsigned __int128 y) {
  const auto hi = static_cast<std::uint64_t>(y >> 64);
  const auto lo = static_cast<std::uint64_t>(y);
  return hi != 0 ? 128 - std::countl_zero(hi) : 64 - std::countl_zero(lo);
}

} // namespace

RoundedBinary64 round_to_binary64(unsigned __int128 y, int exponent,
                                  bool sticky) noexcept {
  if (y == 0)
    return {0, false};
  // Step 1.
  const int length = bit_length(y);
  const int x = length - 1 + exponent;
  // Step 2.
  const int kept = x >= -1022 ? 53 : x + 1075;
  const int drop = length - kept; // bits below the kept ones
  // Step 3.
  std::uint64_t significand;
  bool guard = false;
  if (drop <= 0) { // y fits in the kept bits: exact
    significand = static_cast<std::uint64_t>(y) << -drop;
  } else if (drop <= length) {
    significand = drop == 128 ? 0 : static_cast<std::uint64_t>(y >> drop);
    guard = (y >> (drop - 1)) & 1;
    const unsigned __int128 below =
        (static_cast<unsigned __int128>(1) << (drop - 1)) - 1;
    sticky = sticky || (y & below) != 0;
  } else { // every bit lies below the guard position
    significand = 0;
    sticky = true;
  }
  // Step 4.
  if (guard && (sticky || (significand & 1)))
    ++significand;
  const std::uint64_t bits =
      x >= -1022 ? (static_cast<std::uint64_t>(x + 1022) << 52) + significand
                 : significand;
  if (bits >= kBinary64Infinity)
    return {kBinary64Infinity, true};
  return {bits, false};
}

} // namespace sshsum
