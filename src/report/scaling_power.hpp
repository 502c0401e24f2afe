#pragma once

// The powers of ten T(k) by which the decimal output conversion scales a
// binary value into a fraction 0.d1d2d3..., for the 64-bit tier (one word)
// and the 128-bit tier (two words). Both come from the rounded tables of
// numerics/powers_of_ten.hpp: a fine entry alone, or a coarse entry times an
// exact power 10^r rounded once more, never repeated multiplication.

#include <cstdint>

namespace sshsum {

// T = S * 2^exponent with S the integer word[0] (most significant) ..
// word[words - 1], top bit set; `exact` when T is 10^k itself.
struct ScalingPower {
  std::uint64_t word[2] = {0, 0};
  int words = 0;
  int exponent = 0;
  bool exact = false;
};

// The reach of the 64-bit tier; other scaling exponents use the 128-bit one.
inline constexpr int kMin64BitScale = -342;
inline constexpr int kMax64BitScale = 345;
inline constexpr bool in_64bit_reach(int k) {
  return k >= kMin64BitScale && k <= kMax64BitScale;
}

// A 64-bit T(k) is within 2^-63 of 10^k (one rounded entry, or a coarse
// entry within 2^-64 times an exact fine entry rounded once more within
// 2^-64); a 128-bit T(k) likewise within 2^-127 (inside the tables' reach).
inline constexpr int kPower64ErrorBits = 63;
inline constexpr int kPower128ErrorBits = 127;

// 10^k to 64 bits, for in_64bit_reach(k):
//   -47 <= k <= 47  the fine entry (exact for 0 <= k <= 27);
//   k > 47          the largest coarse 10^P with P <= k times the exact fine
//                   10^(k-P), 0 <= k - P <= 27;
//   k < -47         the smallest coarse 10^-P with P >= -k times the exact
//                   fine 10^(P+k), 0 <= P + k <= 27;
// a product of two entries is normalized and rounded to 64 bits by adding
// its 65th bit.
ScalingPower power_64bit_tier(int k);

// 10^k to 128 bits:
//   0 <= k <= 55    R(k) = 10^k exact (5^55 < 2^128);
//   -27 <= k <= -1  the fine entry;
//   55 < k          round128(coarse 10^P * R(k - P)), P the largest coarse
//                   power not above k, 0 <= k - P <= 55;
//   k < -27         round128(coarse 10^-P * R(P + k)), P the smallest coarse
//                   power not below -k, 0 <= P + k <= 55.
// round128 normalizes the exact product to a leading 1, keeps 128 bits and
// adds the 129th bit (a carry out of all 128 bits gives 2^127, exponent + 1).
// Beyond the coarse powers (about 10^424 and 10^-425), which binary64 values
// never reach, the last coarse step is applied again: such a T(k) is a
// product of several rounded factors and carries a few more units of error.
ScalingPower power_128bit_tier(int k);

// round128 of the exact product a * b (both two-word, normalized).
ScalingPower round128(const ScalingPower &a, const ScalingPower &b);

} // namespace sshsum
