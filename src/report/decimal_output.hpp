#pragma once

// Conversion of binary64 and binary128 values to decimal digits for the
// report: a given number of significant digits, or the digits that reach a
// given number of places after the decimal point.
//
// Requests for up to 17 digits are correctly rounded by the mode (exact
// ties follow its mask). Requests for 18 digits or more are computed in
// 128-bit fixed point from rounded powers of ten and taken as they come:
// their last digit may be one unit off the correctly rounded one, and which
// digit they give is fixed by the rounded power (see scaling_power.hpp).
// At most 37 digits are computed; digits asked for beyond them are "0".
// No allocation, no state: both are reentrant.

#include "numerics/binary128.hpp"
#include "report/decimal_digits.hpp"

namespace sshsum {

// n significant digits (1 <= n <= kMaxRequestedDigits; other counts are
// brought into that range), rounded by `mode`.
DecimalDigits significant_digit_conversion(double x, int n, int mode);
DecimalDigits significant_digit_conversion(const Binary128 &x, int n, int mode);

// The digits of x rounded to f >= 0 places after the point: f + N digits,
// cut to w (1 <= w <= kMaxRequestedDigits), rounded at the last of them or
// at the 37th. When no digit reaches the f-th place (f + N <= 0) the result
// is zero (status 11) or one unit of the f-th place ("1" with N = 1 - f).
DecimalDigits fixed_conversion(double x, int w, int f, int mode);
DecimalDigits fixed_conversion(const Binary128 &x, int w, int f, int mode);

} // namespace sshsum
