#include "report/digit_generation.hpp"

#include "report/decimal_digits.hpp"

namespace sshsum {
namespace {

using u128 = unsigned __int128;

// log2 10 in 16.16 fixed point, rounded down; one spare bit in the bounds
// below covers the rounding.
constexpr int kBitsPerDigit = 0x35269;

// Bits by which c digits (a factor 10^c) magnify the error of the fraction.
int bits_consumed(int c) { return (c * kBitsPerDigit + 0xFFFF) >> 16; }

// Where the fraction left after the c-th digit may lie too close to decide.
enum class Open { none, near_zero, near_half, near_one };

// The scaled value carries an error of at most 2^-error_bits (relative to a
// value below 1); after c digits it is magnified by 10^c, so the remaining
// fraction r is exact to within B = 2^-(error_bits - 1 - bits_consumed(c)).
// The decision stands when r is farther than B from 0 and from 1 (the digits
// are right) and, for the modes that round to nearest, from 1/2. The test
// reads the fraction's first 128 bits and leans to "open" on the rest.
Open open_decision(const ScaledFraction &r, int error_bits, int c,
                   bool nearest) {
  const int bound_bits = error_bits - 1 - bits_consumed(c);
  const u128 bound = bound_bits >= 128 ? 1 : u128{1} << (128 - bound_bits);
  const u128 t = top_128(r);
  if (t <= bound)
    return Open::near_zero;
  if (~t <= bound)
    return Open::near_one;
  if (nearest) {
    const u128 half = u128{1} << 127;
    const u128 distance = t >= half ? t - half : half - t;
    if (distance <= bound)
      return Open::near_half;
  }
  return Open::none;
}

// Writes the next c digits into digits[1..c], up to 19 per multiplication.
void emit(ScaledFraction &y, int c, char *digits) {
  for (int done = 0; done < c;) {
    const int count = c - done < 19 ? c - done : 19;
    std::uint64_t chunk = next_digits(y, count);
    for (int i = done + count; i > done; --i) {
      digits[i] = static_cast<char>('0' + chunk % 10);
      chunk /= 10;
    }
    done += count;
  }
}

ScaledFraction scaled_for(const BinaryOperand &x,
                          const SettledExponent &settled, ScaleTier tier,
                          const ScalingPower &p) {
  if (settled.tier == tier)
    return settled.scaled;
  return scale_operand(x, p);
}

} // namespace

void increment_digits(char *digits, int c) {
  int i = c;
  while (digits[i] == '9') {
    digits[i] = '0';
    --i;
  }
  ++digits[i]; // digits[0] is "0": the carry stops there at the latest
}

bool rounds_up(int mode, int sign, bool lsb, DigitTail tail) {
  const int bit =
      8 * sign + 4 * int{tail.sticky} + 2 * int{lsb} + int{tail.guard};
  return ((kRoundingMasks[mode & 7] >> bit) & 1u) != 0;
}

DigitTail generate_digits(const BinaryOperand &x,
                          const SettledExponent &settled, int c, int mode,
                          char *digits) {
  const int k = -settled.exponent;
  if (c > kMax64BitTierDigits || !in_64bit_reach(k)) {
    // 128-bit tier: the digits of the exact product |x| * T(k), T(k) being
    // the rounded power; guard and sticky from what remains of it.
    ScaledFraction y =
        scaled_for(x, settled, ScaleTier::bits128,
                   settled.tier == ScaleTier::bits128 ? ScalingPower{}
                                                      : power_128bit_tier(k));
    emit(y, c, digits);
    return {guard_bit(y), sticky_bit(y)};
  }

  // 64-bit tier: first with the 64-bit power (error 2^-63), then, when that
  // leaves the decision open, with the 128-bit power (error 2^-127).
  const int m = mode & 7;
  const bool nearest = m == 0 || m >= 6;
  const ScalingPower p64 = settled.tier == ScaleTier::bits64
                               ? ScalingPower{.exact = settled.exact}
                               : power_64bit_tier(k);
  ScaledFraction y = scaled_for(x, settled, ScaleTier::bits64, p64);
  Open open = Open::near_one; // y >= 1: an exact power of ten stored high
  if (y.integer == 0) {
    emit(y, c, digits);
    open = p64.exact ? Open::none
                     : open_decision(y, kPower64ErrorBits, c, nearest);
  }
  if (open == Open::none)
    return {guard_bit(y), sticky_bit(y)};

  const ScalingPower p128 = settled.tier == ScaleTier::bits128
                                ? ScalingPower{.exact = settled.exact}
                                : power_128bit_tier(k);
  y = scaled_for(x, settled, ScaleTier::bits128, p128);
  emit(y, c, digits);
  open = p128.exact ? Open::none
                    : open_decision(y, kPower128ErrorBits, c, nearest);
  switch (open) {
  case Open::none:
    return {guard_bit(y), sticky_bit(y)};
  case Open::near_zero: // the exact value ends on the last digit
    return {false, false};
  case Open::near_one: // the exact value ends on the next digit boundary
    increment_digits(digits, c);
    return {false, false};
  case Open::near_half: // still open at 128 bits: an exact half
    return {true, false};
  }
  return {};
}

} // namespace sshsum
