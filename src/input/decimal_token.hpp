#pragma once

// Stage 1 of the decimal conversion: the syntax of one token and the
// collection of its significant digits.
//
// Accepted forms (letters in either case):
//   [sign] digits-with-at-most-one-"." [exponent]
//   [sign] INF | INFINITY | NAN
// where the exponent is one of D, E, Q followed by an optional sign and
// optional digits ("1.5E" and "1.5E+" are 1.5), or a sign directly followed
// by at least one digit ("1.0-5" is 1.0E-5). The mantissa may hold no digit
// at all ("." and "-" are zero). Anything else is malformed.

#include <cstddef>
#include <cstdint>

namespace sshsum {

enum class TokenForm : std::uint8_t {
  number,
  infinity,
  not_a_number,
  malformed
};

// The reader keeps at most 27 significant digits: the first 18 in `lead`,
// the next up to 9 in `tail`. Every further digit only sets `dropped` when
// it is nonzero.
inline constexpr int kKeptDigits = 27;
inline constexpr int kLeadDigits = 18;

struct DecimalToken {
  TokenForm form = TokenForm::malformed;
  char sign = 0;              // '+', '-', or 0 when no sign was written
  bool digit_written = false; // the mantissa holds at least one digit
  bool huge_exponent = false; // over 6 exponent digits after leading zeros
  bool exponent_negative = false;
  bool dropped = false;    // a nonzero digit beyond the 27th
  std::int64_t digits = 0; // D: all significant digits, trailing zeros too
  std::int64_t t0 = 0;     // written exponent - digits after the point
  std::uint64_t lead = 0;  // significant digits 1 to 18 as an integer
  std::uint32_t tail = 0;  // significant digits 19 to 27 as an integer
  int tail_digits = 0;     // how many digits `tail` holds (0 to 9)
};

// Reads the whole token; `form` is malformed unless every byte was used.
// `t0` is meaningful only when `huge_exponent` is false.
DecimalToken scan_decimal_token(const char *text, std::size_t length) noexcept;

// M, the integer of the kept digits (below 10^27 < 2^90).
inline unsigned __int128 kept_digits_value(const DecimalToken &token) {
  if (token.tail_digits == 0)
    return token.lead;
  std::uint64_t scale = 1;
  for (int i = 0; i < token.tail_digits; ++i)
    scale *= 10;
  return static_cast<unsigned __int128>(token.lead) * scale + token.tail;
}

} // namespace sshsum
