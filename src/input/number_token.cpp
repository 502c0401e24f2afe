// Number tokens. The token starts at the current byte and runs to the first
// byte that ends a number: space, tab, comma, slash, ")", "*" or the end of
// the record. Each byte is checked in order against the byte rules; a token
// that passes goes to the conversion, which refuses every form it does not
// accept. The token is scanned in place in the read-ahead buffer (it is
// pinned there while a refill brings in more of it) and never copied.

#include "input/number_token.hpp"

#include "input/text_to_binary64.hpp"

namespace sshsum {
namespace {

bool is_digit(int c) { return c >= '0' && c <= '9'; }

bool ends_value_word(int c) {
  return c == ' ' || c == '\t' || c == ',' || c == '/' || c == ')' ||
         c == kEndOfRecord;
}

// Converts the first `length` pinned bytes and unpins them.
int convert(RecordInput &in, std::size_t length, bool decimal_point,
            NumberToken &token) {
  const Binary64Conversion result =
      text_to_binary64(in.buffer + in.pin, length, decimal_point);
  in.pin = kNoPin;
  if (result.status != kConversionOk)
    return kErrorInputConversion; // malformed (3) or too large (8)
  token.value = result.value;
  return 0;
}

// The bytes before "*" as a signed 32-bit decimal integer: an optional sign
// and at least one digit, nothing else, within -2^31 .. 2^31 - 1.
int parse_repeat_count(const char *text, std::size_t length,
                       std::int32_t &count) {
  std::size_t i = 0;
  const bool negative = length > 0 && text[0] == '-';
  if (length > 0 && (text[0] == '-' || text[0] == '+'))
    i = 1;
  if (i == length)
    return kErrorInputConversion;
  std::int64_t magnitude = 0;
  for (; i < length; ++i) {
    if (!is_digit(static_cast<unsigned char>(text[i])))
      return kErrorInputConversion; // "1.5*", "1E2*", "1+2*"
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > std::int64_t{1} << 31)
      return kErrorInputConversion;
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value > INT32_MAX)
    return kErrorInputConversion;
  count = static_cast<std::int32_t>(value);
  return 0;
}

// The longest word the conversion accepts: "+INFINITY".
constexpr std::size_t kLongestValueWord = 9;

// A value word (INF, NAN, ...): it takes every byte up to the first byte
// that ends a value word, "*" included. The conversion decides whether the
// word is one of its words; a word longer than any of them is refused as
// soon as it is seen to be, so that a long word is never held whole.
int scan_value_word(RecordInput &in, bool decimal_point, NumberToken &token) {
  for (;;) {
    int c = peek(in);
    if (c < 0)
      return -c;
    if (in.position - in.pin > kLongestValueWord && !ends_value_word(c) &&
        c != '\r') {
      in.pin = kNoPin;
      return kErrorInputConversion;
    }
    if (c == '\r') {
      // (A refill may move the pinned bytes: keep lengths, not indexes.)
      const std::size_t length = in.position - in.pin;
      c = resolve_carriage_returns(in);
      if (c < 0)
        return -c;
      if (c != kEndOfRecord)
        return kErrorInputConversion; // the word holds a CR: no value word
      return convert(in, length, decimal_point, token);
    }
    if (ends_value_word(c))
      return convert(in, in.position - in.pin, decimal_point, token);
    ++in.position;
  }
}

} // namespace

int scan_number_token(RecordInput &in, bool &decimal_point,
                      NumberToken &token) {
  in.pin = in.position;
  bool need_digit = true;    // a digit must still come (start, after a sign)
  bool open_sign = false;    // a sign stood with no digit after it yet
  bool has_point = false;    // the token has its "."
  bool has_exponent = false; // the token has its exponent letter
  bool at_star = false;      // the token ended at "*": a repeat count
  std::size_t length = 0;    // of the token's text (the pin moves on refill)
  int error = 0;
  for (;;) {
    const int c = peek(in);
    if (c < 0) {
      error = -c;
      break;
    }
    const std::size_t index = in.position - in.pin;
    if (is_digit(c)) {
      need_digit = false;
      open_sign = false;
    } else if (c == '+' || c == '-') {
      if (open_sign) {
        error = kErrorListSyntax; // "+-1", "1E--2"
        break;
      }
      open_sign = true;
      need_digit = true;
    } else if (c == '.') {
      if (has_point) {
        error = kErrorListSyntax;
        break;
      }
      has_point = true;
      decimal_point = true;
    } else if (c == 'D' || c == 'E' || c == 'Q' || c == 'd' || c == 'e' ||
               c == 'q') {
      if (has_exponent || need_digit) {
        error = kErrorListSyntax; // "1E5E3", "E5", "-E5", ".E5"
        break;
      }
      has_exponent = true;
    } else if (c == 'I' || c == 'N' || c == 'i' || c == 'n') {
      const char first = in.buffer[in.pin];
      if (index == 0 || (index == 1 && (first == '+' || first == '-'))) {
        error = scan_value_word(in, decimal_point, token);
        in.pin = kNoPin;
        return error;
      }
      error = kErrorListSyntax; // "1N", "1.INF"
      break;
    } else if (c == '*' || c == ' ' || c == '\t' || c == ',' || c == '/' ||
               c == ')' || c == kEndOfRecord) {
      length = in.position - in.pin;
      at_star = c == '*';
      break;
    } else if (c == '\r') {
      // A carriage return ends the token only when it is one of those
      // dropped before the line feed; any other is a byte of the token.
      length = in.position - in.pin;
      const int after = resolve_carriage_returns(in);
      if (after < 0)
        error = -after;
      else if (after != kEndOfRecord)
        error = kErrorListSyntax;
      break;
    } else {
      error = kErrorListSyntax; // NUL, ";", other letters, quotes, "("
      break;
    }
    ++in.position;
  }
  if (error == 0 && need_digit)
    error = kErrorListSyntax; // "-", ".", "1.0E-", "1.0-", "- 1.0"
  if (error != 0) {
    in.pin = kNoPin;
    return error;
  }
  if (at_star) {
    token.repeat = true;
    error = parse_repeat_count(in.buffer + in.pin, length, token.count);
    in.pin = kNoPin;
    return error;
  }
  return convert(in, length, decimal_point, token);
}

} // namespace sshsum
