#pragma once

// Stage 2 of the decimal conversion: the zero and range rules and the choice
// among the integer, short and long paths.

#include "input/decimal_token.hpp"

#include <bit>
#include <cstdint>

namespace sshsum {

enum class ConversionPath : std::uint8_t {
  zero,         // no significant digit, or a magnitude below 10^-324
  too_large,    // a magnitude of 10^309 or more: infinity, refused
  word,         // INF, INFINITY or NAN
  malformed,    // not an accepted form
  integer,      // a whole number of at most 18 digits
  short_first,  // M fits in 53 bits, D <= 16: one x87 operation
  short_second, // longer M that binary64 holds exactly, |t| <= 22
  long_path,    // everything else: 64-bit powers of ten, integer rounding
};

struct PathChoice {
  ConversionPath path;
  std::int64_t t; // exponent of the last kept digit (numeric paths only)
};

// choose_conversion_path (below), for a token of form `number`: the zero
// and range rules, then the path choice. Defined here so that the
// conversion inlines it.
//
// With D significant digits, t0 = written exponent - digits after the point,
// and E = t0 + D the number of digits before the point of the value:
//   - no significant digit: zero, whatever the exponent;
//   - an exponent of more than 6 significant digits: too large when positive,
//     zero when negative;
//   - E < -323: zero (the value is below 10^-324, under half the smallest
//     subnormal 4.94e-324); E > 309: too large (at least 10^309).
// Otherwise t = t0 + max(0, D - 27) is the exponent of the last kept digit
// and the value taken is M * 10^t.

namespace path_detail {

// Does M fit in binary64 exactly: at most 53 bits from its highest 1 to its
// lowest 1?
inline bool exact_in_binary64(unsigned __int128 m) {
  if (m == 0)
    return true;
  const auto hi = static_cast<std::uint64_t>(m >> 64);
  const auto lo = static_cast<std::uint64_t>(m);
  const int length =
      hi != 0 ? 128 - std::countl_zero(hi) : 64 - std::countl_zero(lo);
  const int trailing =
      lo != 0 ? std::countr_zero(lo) : 64 + std::countr_zero(hi);
  return length - trailing <= 53;
}

// h: the first nine significant digits as a number (D >= 9).
inline std::uint64_t first_nine(const DecimalToken &token) {
  std::uint64_t h = token.lead;
  for (std::int64_t n = token.digits < kLeadDigits ? token.digits : kLeadDigits;
       n > 9; --n)
    h /= 10;
  return h;
}

} // namespace path_detail

inline PathChoice choose_conversion_path(const DecimalToken &token) noexcept {
  using namespace path_detail;
  const std::int64_t d = token.digits;
  if (d == 0)
    return {ConversionPath::zero, 0};
  if (token.huge_exponent)
    return {token.exponent_negative ? ConversionPath::zero
                                    : ConversionPath::too_large,
            0};
  const std::int64_t e = token.t0 + d;
  if (e < -323)
    return {ConversionPath::zero, 0};
  if (e > 309)
    return {ConversionPath::too_large, 0};

  const std::int64_t t = token.t0 + (d > kKeptDigits ? d - kKeptDigits : 0);

  // Integer path: a whole number of at most 18 digits.
  if (t == 0 && d <= 18)
    return {ConversionPath::integer, t};

  // Short path, first kind: M below 2^53 (D <= 15; or D = 16 with
  // h <= 900719924, so M <= 9007199249999999 < 2^53; or D = 16 with M even,
  // so M / 2 < 2^53), and a power 10^|t| that binary64 holds exactly, or a
  // larger t that the exact M * 10^(15 - D) brings within reach.
  const std::int64_t magnitude = t < 0 ? -t : t;
  const bool reach = magnitude <= 22 || (t > 22 && t + d <= 37);
  if (reach && (d <= 15 || (d == 16 && ((token.lead & 1) == 0 ||
                                        first_nine(token) <= 900719924))))
    return {ConversionPath::short_first, t};

  // Short path, second kind: any M that binary64 holds exactly.
  if (magnitude <= 22 && exact_in_binary64(kept_digits_value(token)))
    return {ConversionPath::short_second, t};

  return {ConversionPath::long_path, t};
}

} // namespace sshsum
