#pragma once

// Stage 2 of the decimal conversion: the zero and range rules and the choice
// among the integer, short and long paths.

#include "input/decimal_token.hpp"

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

// For a token of form `number`.
PathChoice choose_conversion_path(const DecimalToken &token) noexcept;

} // namespace sshsum
