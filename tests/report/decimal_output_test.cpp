// The stated behaviour of the decimal output conversion, case by case.

#include "report/decimal_output.hpp"

#include "report/binary_operand.hpp"
#include "report/decimal_exponent.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <string>

extern "C" {
#include <quadmath.h>
}

namespace sshsum {
namespace {

Binary128 quad(__float128 v) { return std::bit_cast<Binary128>(v); }

std::string digits_of(const DecimalDigits &d) { return std::string(d.text()); }

struct SignificantCase {
  double x;
  int n;
  const char *digits;
  int first;
  int exponent;
};

TEST(DecimalOutputSignificant, StatedBinary64Examples) {
  const double max = std::numeric_limits<double>::max();
  const double tiny = std::numeric_limits<double>::denorm_min();
  const SignificantCase cases[] = {
      {0.1, 17, "10000000000000001", 1, 0},
      {0.1, 16, "1000000000000000", 1, 0},
      {0.1, 20, "10000000000000000555", 1, 0},
      {2.5, 1, "2", 1, 1}, // tie to even
      {3.5, 1, "4", 1, 1},
      {9.5, 1, "1", 0, 2}, // carry out of the first digit
      {max, 17, "17976931348623157", 1, 309},
      {max, 16, "1797693134862316", 1, 309},
      {tiny, 16, "4940656458412465", 1, -323},
      // 37 digits, then "0" up to the 40 requested.
      {0.1, 40, "1000000000000000055511151231257827021000", 1, 0},
      // Exactly halfway; 10^-14 rounded to 128 bits lies below the true
      // power, so the 128-bit scaled value falls just below the midpoint.
      {11059753148725.599609375, 22, "1105975314872559960937", 1, 14},
      {1.0E23, 20, "99999999999999991611", 1, 23},
  };
  for (const auto &c : cases) {
    const DecimalDigits d = significant_digit_conversion(c.x, c.n, 0);
    EXPECT_EQ(digits_of(d), c.digits) << c.x << " to " << c.n;
    EXPECT_EQ(d.first, c.first) << c.x << " to " << c.n;
    EXPECT_EQ(d.exponent, c.exponent) << c.x << " to " << c.n;
    EXPECT_EQ(d.status, kStatusDigits);
    EXPECT_EQ(d.digits[0], d.first == 0 ? '1' : '0'); // the carry guard
  }
  EXPECT_EQ(significant_digit_conversion(tiny, 16, 0).kind, kKindSubnormal);
  EXPECT_EQ(significant_digit_conversion(-max, 16, 0).kind, -kKindNormal);
}

TEST(DecimalOutputSignificant, StatedBinary128Examples) {
  const Binary128 tenth = quad(1.0Q / 10);
  EXPECT_EQ(digits_of(significant_digit_conversion(tenth, 34, 0)),
            "1000000000000000000000000000000000");
  EXPECT_EQ(significant_digit_conversion(tenth, 34, 0).exponent, 0);
  EXPECT_EQ(digits_of(significant_digit_conversion(tenth, 37, 0)),
            "1000000000000000000000000000000000048");
  EXPECT_EQ(digits_of(significant_digit_conversion(quad(2.0Q / 3), 33, 0)),
            "666666666666666666666666666666667");
}

TEST(DecimalOutputSpecial, NaNInfinityAndZero) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (double x : {nan, -nan}) {
    const DecimalDigits d = significant_digit_conversion(x, 16, 0);
    EXPECT_EQ(digits_of(d), "NaN");
    EXPECT_EQ(d.first, 0);
    EXPECT_EQ(d.exponent, 3);
    EXPECT_EQ(d.kind, kKindNaN);
    EXPECT_EQ(d.status, kStatusNaN);
  }
  const DecimalDigits minus_inf = fixed_conversion(-inf, 24, 17, 0);
  EXPECT_EQ(digits_of(minus_inf), "Infinity");
  EXPECT_EQ(minus_inf.exponent, 8);
  EXPECT_EQ(minus_inf.kind, -kKindInfinity);
  EXPECT_EQ(minus_inf.status, kStatusInfinity);
  EXPECT_EQ(significant_digit_conversion(inf, 3, 0).kind, kKindInfinity);

  const DecimalDigits zero = significant_digit_conversion(0.0, 5, 0);
  EXPECT_EQ(digits_of(zero), "00000");
  EXPECT_EQ(zero.first, 0);
  EXPECT_EQ(zero.exponent, 1);
  EXPECT_EQ(zero.kind, kKindZero);
  EXPECT_EQ(zero.status, kStatusZero);
  const DecimalDigits minus_zero = fixed_conversion(-0.0, 24, 17, 0);
  EXPECT_EQ(digits_of(minus_zero), std::string(18, '0')); // min(f + 1, w)
  EXPECT_EQ(minus_zero.kind, -kKindZero);
  EXPECT_EQ(digits_of(fixed_conversion(0.0, 5, 17, 0)), "00000");

  // Binary128: quiet and signalling NaN, infinity, negative zero.
  Binary128 snan;
  snan.hi = 0x7FFF000000000000ull;
  snan.lo = 1;
  EXPECT_EQ(significant_digit_conversion(snan, 34, 0).status, kStatusNaN);
  EXPECT_EQ(significant_digit_conversion(quad(-__builtin_infq()), 34, 0).kind,
            -kKindInfinity);
  EXPECT_EQ(significant_digit_conversion(quad(-0.0Q), 34, 0).kind, -kKindZero);
}

struct FixedCase {
  double x;
  int w;
  int f;
  const char *digits;
  int first;
  int exponent;
  int status;
};

TEST(DecimalOutputFixed, StatedExamplesAndPlaces) {
  const FixedCase cases[] = {
      {123.456, 24, 17, "12345600000000000307", 1, 3, kStatusDigits},
      {1.5, 24, 0, "2", 1, 1, kStatusDigits},
      {2.5, 24, 0, "2", 1, 1, kStatusDigits},
      {0.5, 24, 0, "0", 0, 1, kStatusZero},      // f + N = 0, a tie to even
      {0.006, 24, 2, "1", 0, -1, kStatusDigits}, // one unit of 0.01
      {0.004, 24, 2, "000", 0, 1, kStatusZero},  // rounds to zero
      {0.0004, 24, 2, "000", 0, 1, kStatusZero}, // f + N < 0
      // Cut to w: 20 digits wanted, 5 produced, rounded at the fifth.
      {123.456, 5, 17, "12346", 1, 3, kStatusDigits},
      // 9.96 to one place: the carry makes N = 2 and f + N = 3 digits.
      {9.96, 24, 1, "100", 0, 2, kStatusDigits},
      // 0.0999... (binary64 0.09999999999999999167...) to 15 places.
      {0.09999999999999999, 24, 15, "100000000000000", 0, 0, kStatusDigits},
      // 0.1 to 40 places: 40 digits wanted, 37 computed, then "0".
      {0.1, 60, 40, "1000000000000000055511151231257827021000", 1, 0,
       kStatusDigits},
  };
  for (const auto &c : cases) {
    const DecimalDigits d = fixed_conversion(c.x, c.w, c.f, 0);
    EXPECT_EQ(digits_of(d), c.digits) << c.x << " f=" << c.f;
    EXPECT_EQ(d.first, c.first) << c.x << " f=" << c.f;
    EXPECT_EQ(d.exponent, c.exponent) << c.x << " f=" << c.f;
    EXPECT_EQ(d.status, c.status) << c.x << " f=" << c.f;
  }
}

// The five modes on both sides of a tie and just off it.
TEST(DecimalOutputModes, MasksDecideTheLastDigit) {
  struct Case {
    double x;
    int mode;
    const char *digits;
    int exponent;
  };
  const Case cases[] = {
      // 2.5 and 3.5 to one digit: exact ties.
      {2.5, 0, "2", 1},
      {3.5, 0, "4", 1},
      {2.5, 1, "2", 1},
      {-2.5, 1, "2", 1},
      {2.5, 2, "2", 1},
      {-2.5, 2, "3", 1},
      {2.5, 4, "3", 1},
      {-2.5, 4, "2", 1},
      {2.5, 6, "3", 1},
      {-2.5, 7, "3", 1},
      {2.5, 5, "3", 1},
      {-2.5, 3, "3", 1},
      // 2.25 to one digit: below the tie, inexact.
      {2.25, 0, "2", 1},
      {2.25, 4, "3", 1},
      {-2.25, 2, "3", 1},
      {2.25, 6, "2", 1},
      // 2.0 to one digit is exact: no directed mode moves it.
      {2.0, 2, "2", 1},
      {2.0, 4, "2", 1},
      {-2.0, 2, "2", 1},
      // 9.75 toward plus infinity carries out of the first digit.
      {9.75, 4, "1", 2},
  };
  for (const auto &c : cases) {
    const DecimalDigits d = significant_digit_conversion(c.x, 1, c.mode);
    EXPECT_EQ(digits_of(d), c.digits) << c.x << " mode " << c.mode;
    EXPECT_EQ(d.exponent, c.exponent) << c.x << " mode " << c.mode;
  }
  // Toward plus infinity a tiny positive value reaches one unit of the last
  // place; toward zero it does not.
  EXPECT_EQ(digits_of(fixed_conversion(1.0E-10, 24, 2, 4)), "1");
  EXPECT_EQ(fixed_conversion(1.0E-10, 24, 2, 4).exponent, -1);
  EXPECT_EQ(fixed_conversion(1.0E-10, 24, 2, 1).status, kStatusZero);
  EXPECT_EQ(fixed_conversion(-1.0E-10, 24, 2, 4).status, kStatusZero);
}

// Exact powers of ten: the stored power may lie on either side of the true
// one, yet the digits are "1" and zeros with the right exponent in both
// tiers and every digit count.
TEST(DecimalOutputSignificant, ExactPowersOfTen) {
  double p = 1.0;
  for (int k = 0; k <= 22; ++k, p *= 10) {
    for (int n : {1, 5, 16, 17, 18, 20, 34, 37}) {
      for (const DecimalDigits &d :
           {significant_digit_conversion(p, n, 0),
            significant_digit_conversion(quad(p), n, 0)}) {
        const std::string text = digits_of(d);
        EXPECT_EQ(text, "1" + std::string(n - 1, '0')) << "1e" << k;
        EXPECT_EQ(d.exponent, k + 1) << "1e" << k << " to " << n;
      }
    }
  }
}

// The estimate is N or N - 1 at both ends of every 16-bit step of G, over
// the normal binary128 exponent range (binary64 lies inside it); subnormal
// values are normalized first and follow the same rule.
TEST(DecimalOutputExponent, EstimateIsNOrOneLess) {
  for (int e = -16382; e <= 16383; e += (e > -400 && e < 400) ? 1 : 7) {
    for (std::uint32_t g : {0u, 1u, 0x4D10u, 0x8000u, 0xFFFFu}) {
      __float128 low = ldexpq(1.0Q + g / 65536.0Q, e);
      __float128 high = ldexpq(1.0Q + (g + 1) / 65536.0Q, e);
      high = nextafterq(high, 0);
      for (__float128 v : {low, high}) {
        const BinaryOperand op = unpack_operand(quad(v));
        ASSERT_EQ(op.binary_exponent(), e);
        const int estimate = estimate_decimal_exponent(op);
        // floor(log10 v) + 1, away from the ambiguous exact powers.
        const __float128 l = log10q(v);
        const __float128 fl = floorq(l);
        if (l - fl < 1e-25Q || fl + 1 - l < 1e-25Q)
          continue;
        const int n = static_cast<int>(fl) + 1;
        EXPECT_TRUE(estimate == n || estimate == n - 1)
            << "e=" << e << " g=" << g << " estimate " << estimate;
      }
    }
  }
  // The smallest binary128 subnormal, 2^-16494 = 6.4751751194380251e-4966,
  // and the smallest binary64 subnormal, 4.94e-324: N = -4965 and -323.
  const Binary128 smallest{1, 0};
  const int e128 = estimate_decimal_exponent(unpack_operand(smallest));
  EXPECT_TRUE(e128 == -4965 || e128 == -4966);
  EXPECT_EQ(significant_digit_conversion(smallest, 5, 0).exponent, -4965);
  EXPECT_EQ(significant_digit_conversion(smallest, 5, 0).kind, kKindSubnormal);
  const int e64 = estimate_decimal_exponent(
      unpack_operand(std::numeric_limits<double>::denorm_min()));
  EXPECT_TRUE(e64 == -323 || e64 == -324);
}

TEST(DecimalOutputSignificant, RequestsAreBroughtIntoRange) {
  // Counts beyond the buffer are cut to it; counts below one give one digit.
  const DecimalDigits wide = significant_digit_conversion(0.5, 100000, 0);
  EXPECT_EQ(wide.end - wide.first, kMaxRequestedDigits);
  EXPECT_EQ(digits_of(significant_digit_conversion(0.5, 0, 0)), "5");
  EXPECT_EQ(digits_of(fixed_conversion(0.25, 100000, -3, 0)), "0");
  const DecimalDigits huge_places = fixed_conversion(0.25, 40, 1 << 30, 0);
  EXPECT_EQ(digits_of(huge_places), "25" + std::string(38, '0'));
}

} // namespace
} // namespace sshsum
