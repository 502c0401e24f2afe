#pragma once

// Digit generation for one request: the c digits of the scaled value and
// the guard and sticky bits of what remains, in the 64-bit tier (correctly
// rounded, with an error bound and escalation) or the 128-bit tier (taken
// as computed); then the rounding by the mode's mask.

#include "report/binary_operand.hpp"
#include "report/decimal_exponent.hpp"

namespace sshsum {

inline constexpr int kMax64BitTierDigits = 17;

struct DigitTail {
  bool guard = false;
  bool sticky = false;
};

// Writes c digits (0 <= c <= 37) of |x| * 10^-N into digits[1..c], N being
// settled.exponent, and returns the guard and sticky bits of the remaining
// fraction. The digits may already have been raised by one when the 64-bit
// tier found the exact value to lie on the next digit boundary.
DigitTail generate_digits(const BinaryOperand &x,
                          const SettledExponent &settled, int c, int mode,
                          char *digits);

// Adds one unit to digits[1..c], carrying through trailing "9"s; a carry out
// of the first digit turns the guard position digits[0] from "0" to "1".
void increment_digits(char *digits, int c);

// True when the mode's mask asks for one unit more in the last kept digit.
bool rounds_up(int mode, int sign, bool lsb, DigitTail tail);

} // namespace sshsum
