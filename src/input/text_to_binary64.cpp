// Decimal text to binary64: the stages in order.
//   0. Short plain tokens such as "-0.0123457" take a fast lane that gives
//      what stages 1 to 3 give them (plain_decimal.hpp).
//   1. Syntax and digit collection (decimal_token.hpp).
//   2. Zero and range rules, path choice (conversion_path.hpp).
//   3. The integer, short or long path (integer_path.hpp, short_path.hpp,
//      long_path.cpp), each giving the magnitude.
//   4. The sign, applied last.
// Nothing is allocated and nothing is kept between calls; the only outside
// state read is the x87 control word, by the short path's arithmetic.
#include "input/text_to_binary64.hpp"

#include "input/decimal_token.hpp"
#include "input/integer_path.hpp"
#include "input/long_path.hpp"
#include "input/plain_decimal.hpp"
#include "input/short_path.hpp"

#include <bit>

namespace sshsum {
namespace {

// Quiet NaN, payload zero. Written without sign or with "-" it carries the
// sign bit; only "+" clears it.
constexpr std::uint64_t kQuietNanBits = 0x7FF8000000000000;

inline double with_sign(double magnitude, bool negative) {
  return negative ? -magnitude : magnitude;
}

inline TracedConversion finish(std::uint64_t magnitude_bits, bool negative,
                               int status, ConversionPath path) {
  const std::uint64_t bits = magnitude_bits | (negative ? kBinary64Sign : 0);
  return {{std::bit_cast<double>(bits), status}, path};
}

// Both entry points inline this one body.
inline TracedConversion convert(const char *text, std::size_t length) {
  PlainDecimal plain;
  if (convert_plain_decimal(text, length, plain))
    return {{with_sign(plain.magnitude, plain.negative), kConversionOk},
            plain.path};
  const DecimalToken token = scan_decimal_token(text, length);
  const bool negative = token.sign == '-';
  switch (token.form) {
  case TokenForm::malformed:
    return finish(0, false, kConversionMalformed, ConversionPath::malformed);
  case TokenForm::infinity:
    return finish(kBinary64Infinity, negative, kConversionOk,
                  ConversionPath::word);
  case TokenForm::not_a_number:
    return finish(kQuietNanBits, token.sign != '+', kConversionOk,
                  ConversionPath::word);
  case TokenForm::number:
    break;
  }

  const PathChoice choice = choose_conversion_path(token);
  const int t = static_cast<int>(choice.t);
  switch (choice.path) {
  case ConversionPath::zero:
    // No significant digit: negative only when "-" and a zero digit were
    // written ("-0" is -0, "-" is +0). A magnitude too small: the written sign.
    return finish(0, negative && (token.digits != 0 || token.digit_written),
                  kConversionOk, choice.path);
  case ConversionPath::too_large:
    return finish(kBinary64Infinity, negative, kConversionTooLarge,
                  choice.path);
  case ConversionPath::integer:
    return {{with_sign(integer_path(token.lead), negative), kConversionOk},
            choice.path};
  case ConversionPath::short_first:
    return {{with_sign(short_path_first(token.lead,
                                        static_cast<int>(token.digits), t),
                       negative),
             kConversionOk},
            choice.path};
  case ConversionPath::short_second:
    return {
        {with_sign(short_path_second(kept_digits_value(token), t), negative),
         kConversionOk},
        choice.path};
  case ConversionPath::long_path:
  default: {
    const RoundedBinary64 r =
        long_path(kept_digits_value(token), t, token.dropped);
    return finish(r.bits, negative,
                  r.overflow ? kConversionTooLarge : kConversionOk,
                  choice.path);
  }
  }
}

} // namespace

TracedConversion text_to_binary64_traced(const char *text,
                                         std::size_t length) noexcept {
  return convert(text, length);
}

Binary64Conversion text_to_binary64(const char *text, std::size_t length,
                                    bool) noexcept {
  return convert(text, length).result;
}

} // namespace sshsum
