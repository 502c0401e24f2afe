// Syntax and digit collection. One pass over the bytes, no allocation.
#include "input/decimal_token.hpp"

#include <cstring>

namespace sshsum {
namespace {

inline bool is_digit(char c) {
  return static_cast<unsigned char>(c - '0') < 10;
}

// Eight bytes, first byte lowest, all ASCII digits? (Each byte plus 0x46
// carries into bit 7 exactly when it is above '9'; each byte minus '0'
// borrows into bit 7 exactly when it is below '0'.)
inline bool eight_digits(std::uint64_t v) {
  constexpr std::uint64_t ones = 0x0101010101010101;
  return (((v + 0x46 * ones) | (v - 0x30 * ones)) & (0x80 * ones)) == 0;
}

// The value of eight ASCII digits, first byte most significant: pairs, then
// quadruples, then the whole, each step one multiply-add per lane.
inline std::uint32_t eight_digit_value(std::uint64_t v) {
  v -= 0x3030303030303030;
  v = (v * 10 + (v >> 8)) & 0x00FF00FF00FF00FF;   // 4 lanes of 0..99
  v = (v * 100 + (v >> 16)) & 0x0000FFFF0000FFFF; // 2 lanes of 0..9999
  return static_cast<std::uint32_t>((v * 10000 + (v >> 32)) & 0xFFFFFFFF);
}

// Collects significant digits from p on; the caller has skipped every
// leading zero, so each digit here counts toward D. Returns the first byte
// that is not a digit.
const char *collect_digits(const char *p, const char *end, DecimalToken &tok) {
  // The first 18 digits, eight at a time while that many remain.
  while (tok.digits <= kLeadDigits - 8 && end - p >= 8) {
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    if (!eight_digits(v))
      break;
    tok.lead = tok.lead * 100000000 + eight_digit_value(v);
    tok.digits += 8;
    p += 8;
  }
  for (; p != end && is_digit(*p); ++p) {
    const unsigned d = static_cast<unsigned>(*p - '0');
    if (tok.digits < kLeadDigits) {
      tok.lead = tok.lead * 10 + d;
    } else if (tok.digits < kKeptDigits) {
      tok.tail = tok.tail * 10 + d;
      ++tok.tail_digits;
    } else {
      tok.dropped |= d != 0;
    }
    ++tok.digits;
  }
  return p;
}

bool equals_word(const char *p, const char *end, const char *word) {
  const std::size_t n = std::strlen(word);
  if (static_cast<std::size_t>(end - p) != n)
    return false;
  for (std::size_t i = 0; i < n; ++i)
    if ((p[i] | 0x20) != word[i])
      return false;
  return true;
}

} // namespace

DecimalToken scan_decimal_token(const char *text, std::size_t length) noexcept {
  DecimalToken tok;
  const char *p = text;
  const char *const end = text + length;

  // 1. Optional sign.
  if (p != end && (*p == '+' || *p == '-'))
    tok.sign = *p++;

  // 2. The words, whole and nothing after them.
  if (p != end && ((*p | 0x20) == 'i' || (*p | 0x20) == 'n')) {
    if (equals_word(p, end, "inf") || equals_word(p, end, "infinity"))
      tok.form = TokenForm::infinity;
    else if (equals_word(p, end, "nan"))
      tok.form = TokenForm::not_a_number;
    return tok;
  }

  // 3. Mantissa: leading zeros are skipped, before and after the point.
  const char *const mantissa = p;
  while (p != end && *p == '0')
    ++p;
  p = collect_digits(p, end, tok);
  bool point = false;
  if (p != end && *p == '.') {
    point = true;
    const char *const fraction = ++p;
    if (tok.digits == 0)
      while (p != end && *p == '0')
        ++p;
    p = collect_digits(p, end, tok);
    tok.t0 = -(p - fraction);
  }
  tok.digit_written = p - mantissa > (point ? 1 : 0);

  // 4. Optional exponent: a letter with optional sign and digits, or a sign
  //    with at least one digit.
  if (p != end) {
    const char c = static_cast<char>(*p | 0x20);
    const bool letter = c == 'd' || c == 'e' || c == 'q';
    if (!letter && *p != '+' && *p != '-')
      return tok; // malformed
    if (letter)
      ++p;
    if (p != end && (*p == '+' || *p == '-'))
      tok.exponent_negative = *p++ == '-';
    const char *const first = p;
    while (p != end && *p == '0')
      ++p;
    const char *const significant = p;
    std::int64_t exponent = 0;
    for (; p != end && is_digit(*p); ++p)
      if (p - significant < 7) // enough to tell "more than 6"
        exponent = exponent * 10 + (*p - '0');
    if (p != end || (!letter && p == first))
      return tok; // trailing bytes, or a bare sign with no digit
    tok.huge_exponent = p - significant > 6;
    tok.t0 += tok.exponent_negative ? -exponent : exponent;
  }
  tok.form = TokenForm::number;
  return tok;
}

} // namespace sshsum
