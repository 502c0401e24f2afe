// Long path: M * 10^t with 64-bit powers of ten.
//
// Steps:
//   t = 0: M (up to 27 digits, < 2^90) is rounded once to binary64, the
//          dropped-digit flag joining sticky.
//   (a) M as a binary integer; when it needs more than 64 bits it is cut to
//       its top 64 bits and its 65th bit is added to the 64th (a carry out
//       gives 2^63 one place higher). The bits cut off reach no sticky flag.
//   (b) 10^t: the fine entry for -47 <= t <= 47. Beyond, a coarse entry times
//       a fine one: for t > 47 the largest coarse P <= t with 10^(t - P);
//       for t < -47 the smallest coarse P >= -t with 10^(P + t). The 128-bit
//       product of the two significands is normalized and cut to 64 bits by
//       adding its 65th bit, as in (a).
//   (c) y = M * 10^t exactly in 128 bits (a 64-by-64-bit product).
//   (d) y rounded to binary64 (nearest, ties to even, subnormals included),
//       the dropped-digit flag joining sticky.
// Error: (a) and (b) each err by at most half a unit of the 64th bit, and
// the stored fine and coarse entries by at most half a unit each, so y is
// within about 2^-63 (relative) of the exact M * 10^t; (d) then rounds
// correctly except when the exact value lies within that distance of a
// midpoint between two binary64 values, where the result can be the other
// neighbour: never more than one unit in the last place away.
#include "input/long_path.hpp"
#include "numerics/powers_of_ten.hpp"

#include <bit>

namespace sshsum {
namespace {

struct Scaled64 {
  std::uint64_t significand; // value = significand * 2^exponent
  int exponent;
};

// A 128-bit product whose top bit is at 127 or 126, cut to 64 bits by
// adding its 65th bit.
Scaled64 round_product_to_64(unsigned __int128 p, int exponent) {
  if (!(p >> 127)) {
    p <<= 1;
    exponent -= 1;
  }
  std::uint64_t top = static_cast<std::uint64_t>(p >> 64);
  const unsigned bit65 = static_cast<unsigned>(p >> 63) & 1;
  top += bit65;
  exponent += 64;
  if (top == 0) { // all ones plus one: 2^64
    top = std::uint64_t(1) << 63;
    exponent += 1;
  }
  return {top, exponent};
}

// Step (a).
Scaled64 binary_digits(unsigned __int128 m) {
  const auto hi = static_cast<std::uint64_t>(m >> 64);
  if (hi == 0)
    return {static_cast<std::uint64_t>(m), 0};
  const int shift = 64 - std::countl_zero(hi); // bits beyond the top 64
  std::uint64_t top = static_cast<std::uint64_t>(m >> shift);
  top += static_cast<std::uint64_t>(m >> (shift - 1)) & 1;
  if (top == 0)
    return {std::uint64_t(1) << 63, shift + 1};
  return {top, shift};
}

// Step (b).
Scaled64 power_of_ten(int t) {
  if (t >= kFineMin64 && t <= kFineMax64) {
    const Power64 p = kFinePowers64[t - kFineMin64];
    return {p.significand, p.exponent};
  }
  Power64 coarse{};
  Power64 fine{};
  if (t > 0) {
    std::size_t i = kCoarsePositive64.size() - 1;
    while (kCoarsePositive64[i] > t)
      --i;
    coarse = kCoarsePositivePowers64[i];
    fine = kFinePowers64[t - kCoarsePositive64[i] - kFineMin64];
  } else {
    std::size_t i = 0;
    while (kCoarseNegative64[i] < -t)
      ++i;
    coarse = kCoarseNegativePowers64[i];
    fine = kFinePowers64[kCoarseNegative64[i] + t - kFineMin64];
  }
  return round_product_to_64(
      static_cast<unsigned __int128>(coarse.significand) * fine.significand,
      coarse.exponent + fine.exponent);
}

} // namespace

RoundedBinary64 long_path(unsigned __int128 m, int t, bool dropped) noexcept {
  if (t == 0)
    return round_to_binary64(m, 0, dropped);
  const Scaled64 digits = binary_digits(m); // (a)
  const Scaled64 power = power_of_ten(t);   // (b)
  const unsigned __int128 y =               // (c)
      static_cast<unsigned __int128>(digits.significand) * power.significand;
  return round_to_binary64(y, digits.exponent + power.exponent, dropped); // (d)
}

} // namespace sshsum
