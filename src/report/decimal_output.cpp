#include "report/decimal_output.hpp"

#include "report/binary_operand.hpp"
#include "report/decimal_exponent.hpp"
#include "report/digit_generation.hpp"

#include <algorithm>
#include <cstring>

namespace sshsum {
namespace {

// The largest number of places a fixed request is taken to ask for; larger
// counts give the same digits (at most 37 are computed) and would only
// overflow the arithmetic.
constexpr int kMaxPlaces = 1 << 20;

struct Request {
  bool fixed = false;
  int limit = 0;  // n, or the cap w
  int places = 0; // f
  int mode = 0;
};

void put_text(DecimalDigits &out, const char *text, std::int32_t status) {
  const auto length = static_cast<std::int32_t>(std::strlen(text));
  std::memcpy(out.digits, text, static_cast<std::size_t>(length));
  out.first = 0;
  out.end = length;
  out.exponent = length;
  out.status = status;
}

// count zeros at position 0, N = 1, status 11.
void put_zero(DecimalDigits &out, int count) {
  std::memset(out.digits, '0', static_cast<std::size_t>(count));
  out.first = 0;
  out.end = count;
  out.exponent = 1;
  out.status = kStatusZero;
}

DecimalDigits convert(const BinaryOperand &x, const Request &request) {
  DecimalDigits out;
  out.kind = x.sign != 0 ? -x.kind : x.kind;
  if (x.kind == kKindNaN) {
    put_text(out, "NaN", kStatusNaN);
    return out;
  }
  if (x.kind == kKindInfinity) {
    put_text(out, "Infinity", kStatusInfinity);
    return out;
  }
  const int zero_count = request.fixed
                             ? std::min(request.places + 1, request.limit)
                             : request.limit;
  if (x.kind == kKindZero) {
    put_zero(out, zero_count);
    return out;
  }

  // 1. The decimal exponent N: 10^(N-1) <= |x| < 10^N.
  const SettledExponent settled = settle_decimal_exponent(x);
  int exponent = settled.exponent;

  // 2. The digit count: c digits are computed, `total` are returned.
  int c = std::min(request.limit, kMaxProducedDigits);
  char *digits = out.digits;
  digits[0] = '0'; // carry guard
  DigitTail tail;
  if (request.fixed && request.places + exponent < 0) {
    // No digit reaches the f-th place and |x| < 0.1 units of it: round
    // "0.0..." with guard 0 and sticky 1 as if N were -f.
    c = 0;
    exponent = -request.places;
    tail = {false, true};
  } else {
    if (request.fixed)
      c = std::min(c, request.places + exponent);
    // 3. The digits and what remains after them.
    tail = generate_digits(x, settled, c, request.mode, digits);
  }

  // 4. Rounding by the mode; a carry out of the first digit leaves "1" in
  // the guard position and raises N.
  const bool lsb = c > 0 && ((digits[c] - '0') & 1) != 0;
  if (rounds_up(request.mode, x.sign, lsb, tail))
    increment_digits(digits, c);
  if (digits[0] == '1') {
    out.first = 0;
    exponent += 1;
  } else {
    out.first = 1;
    if (c == 0) { // f + N <= 0 and not rounded up: zero at f places
      put_zero(out, zero_count);
      return out;
    }
  }

  // 5. Padding with "0" to the requested count.
  const int total = request.fixed
                        ? std::min(request.places + exponent, request.limit)
                        : request.limit;
  out.end = out.first + total;
  for (int i = c + 1; i < out.end; ++i)
    digits[i] = '0';
  out.exponent = exponent;
  out.status = kStatusDigits;
  return out;
}

Request significant_request(int n, int mode) {
  return {false, std::clamp(n, 1, kMaxRequestedDigits), 0, mode};
}

Request fixed_request(int w, int f, int mode) {
  return {true, std::clamp(w, 1, kMaxRequestedDigits),
          std::clamp(f, 0, kMaxPlaces), mode};
}

} // namespace

DecimalDigits significant_digit_conversion(double x, int n, int mode) {
  return convert(unpack_operand(x), significant_request(n, mode));
}

DecimalDigits significant_digit_conversion(const Binary128 &x, int n,
                                           int mode) {
  return convert(unpack_operand(x), significant_request(n, mode));
}

DecimalDigits fixed_conversion(double x, int w, int f, int mode) {
  return convert(unpack_operand(x), fixed_request(w, f, mode));
}

DecimalDigits fixed_conversion(const Binary128 &x, int w, int f, int mode) {
  return convert(unpack_operand(x), fixed_request(w, f, mode));
}

} // namespace sshsum
