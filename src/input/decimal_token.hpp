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
#include <cstring>

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

// M, the integer of the kept digits (below 10^27 < 2^90).
inline unsigned __int128 kept_digits_value(const DecimalToken &token) {
  if (token.tail_digits == 0)
    return token.lead;
  std::uint64_t scale = 1;
  for (int i = 0; i < token.tail_digits; ++i)
    scale *= 10;
  return static_cast<unsigned __int128>(token.lead) * scale + token.tail;
}

namespace token_detail {

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

// The same for four bytes.
inline bool four_digits(std::uint32_t v) {
  constexpr std::uint32_t ones = 0x01010101;
  return (((v + 0x46 * ones) | (v - 0x30 * ones)) & (0x80 * ones)) == 0;
}

inline std::uint32_t four_digit_value(std::uint32_t v) {
  v -= 0x30303030;
  v = (v * 10 + (v >> 8)) & 0x00FF00FF; // 2 lanes of 0..99
  return (v * 100 + (v >> 16)) & 0xFFFF;
}

// Collects significant digits from p on; the caller has skipped every
// leading zero, so each digit here counts toward D. Returns the first byte
// that is not a digit.
inline const char *collect_digits(const char *p, const char *end,
                                  DecimalToken &tok) {
  const char *const first = p;
  if (end - p <= kLeadDigits - tok.digits) {
    // Common case: even if every byte left is a digit, all of them fit in
    // `lead`; no count is needed until the end.
    std::uint64_t lead = tok.lead;
    while (end - p >= 8) {
      std::uint64_t v;
      std::memcpy(&v, p, 8);
      if (!eight_digits(v))
        break;
      lead = lead * 100000000 + eight_digit_value(v);
      p += 8;
    }
    if (end - p >= 4) {
      std::uint32_t v;
      std::memcpy(&v, p, 4);
      if (four_digits(v)) {
        lead = lead * 10000 + four_digit_value(v);
        p += 4;
      }
    }
    for (; p != end && is_digit(*p); ++p)
      lead = lead * 10 + static_cast<unsigned>(*p - '0');
    tok.lead = lead;
    tok.digits += p - first;
    return p;
  }
  // Long mantissas: the first 18 digits eight at a time while that many
  // remain, then one at a time into `lead`, `tail` or the dropped flag.
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

inline bool equals_word(const char *p, const char *end, const char *word) {
  const std::size_t n = std::strlen(word);
  if (static_cast<std::size_t>(end - p) != n)
    return false;
  for (std::size_t i = 0; i < n; ++i)
    if ((p[i] | 0x20) != word[i])
      return false;
  return true;
}

} // namespace token_detail

// Reads the whole token; `form` is malformed unless every byte was used.
// `t0` is meaningful only when `huge_exponent` is false. Defined here so
// that the conversion inlines it.
inline DecimalToken scan_decimal_token(const char *text,
                                       std::size_t length) noexcept {
  using namespace token_detail;
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
      if (p - significant < 7) // 7 digits tell "more than 6"; no overflow
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
