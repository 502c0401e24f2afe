#pragma once

// The fast lane for the data file's usual tokens: at most 16 bytes of the
// form [sign] digits [. digits], with at least one nonzero digit and no
// exponent. The general rules give for such a token:
//   - no "." or nothing after it: t = 0 and D <= 16: the integer path;
//   - otherwise at most 15 digits are written, so D <= 15, and
//     t = -(digits after the point), |t| <= 15: the short path, first kind,
//     on M = all the digits as one integer (leading zeros add nothing).
// Any other token returns false and takes the general stages.

#include "input/conversion_path.hpp"
#include "input/decimal_token.hpp"
#include "input/integer_path.hpp"
#include "input/short_path.hpp"

#include <cstddef>
#include <cstdint>

namespace sshsum {

struct PlainDecimal {
  double magnitude;
  bool negative;
  ConversionPath path;
};

inline bool convert_plain_decimal(const char *text, std::size_t length,
                                  PlainDecimal &out) noexcept {
  if (length > 16)
    return false;
  const char *p = text;
  const char *const end = text + length;
  out.negative = false;
  if (p != end && (*p == '-' || *p == '+'))
    out.negative = *p++ == '-';
  std::uint64_t m = 0;
  for (; p != end && token_detail::is_digit(*p); ++p)
    m = m * 10 + static_cast<unsigned>(*p - '0');
  int after_point = 0;
  if (p != end && *p == '.') {
    const char *const fraction = ++p;
    if (end - p >= 8) {
      std::uint64_t v;
      std::memcpy(&v, p, 8);
      if (token_detail::eight_digits(v)) {
        m = m * 100000000 + token_detail::eight_digit_value(v);
        p += 8;
      }
    }
    if (end - p >= 4) {
      std::uint32_t v;
      std::memcpy(&v, p, 4);
      if (token_detail::four_digits(v)) {
        m = m * 10000 + token_detail::four_digit_value(v);
        p += 4;
      }
    }
    for (; p != end && token_detail::is_digit(*p); ++p)
      m = m * 10 + static_cast<unsigned>(*p - '0');
    after_point = static_cast<int>(p - fraction);
  }
  if (p != end || m == 0)
    return false;
  if (after_point == 0) {
    out.path = ConversionPath::integer;
    out.magnitude = integer_path(m);
  } else {
    // D is only used for t > 22, which cannot occur here.
    out.path = ConversionPath::short_first;
    out.magnitude = short_path_first(m, 15, -after_point);
  }
  return true;
}

} // namespace sshsum
