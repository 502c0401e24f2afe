// Number fields: every example of the field tables, blanks counted.

#include "report/number_field.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <string>

namespace sshsum {
namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

// b blanks, the text, a blanks after.
std::string field(int b, const std::string &text, int a = 0) {
  return std::string(b, ' ') + text + std::string(a, ' ');
}

struct Case {
  double value;
  std::string expected;
};

void check(const FieldSpec &layout, const Case (&cases)[], std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const FieldText t = format_number_field(cases[i].value, layout);
    EXPECT_EQ(std::string(t.view()), cases[i].expected)
        << "value " << cases[i].value;
    EXPECT_EQ(t.length, layout.width);
  }
}

TEST(NumberFieldExtreme, Examples) {
  const Case cases[] = {
      {0.0, field(3, "0.000000000000000D+00")},
      {-0.0, field(3, "0.000000000000000D+00")},
      {-1.5, field(2, "-1.500000000000000D+00")},
      {123.456, field(3, "1.234560000000000D+02")},
      {1.0E-5, field(3, "1.000000000000000D-05")},
      {1.0E+300, field(3, "1.000000000000000+300")},
      {std::numeric_limits<double>::denorm_min(),
       field(3, "4.940656458412465-324")},
      {kNaN, field(1, "NaN", 20)},
      {-kInf, field(1, "-Infinity", 14)},
      // The widest text: negative with a three-digit exponent.
      {-std::numeric_limits<double>::max(), field(2, "-1.797693134862316+308")},
  };
  check(extreme_field, cases, std::size(cases));
}

TEST(NumberFieldList64, Examples) {
  const Case cases[] = {
      {0.0, field(2, "0.000000000000000E+000")},
      {-0.0, field(2, "0.000000000000000E+000")},
      {123.456, field(3, "123.456000000000", 5)},
      {0.1, field(2, "0.100000000000000", 5)},
      // The carry test moves it to plain-decimal form.
      {0.09999999999999999, field(2, "0.100000000000000", 5)},
      {-0.5, field(1, "-0.500000000000000", 5)},
      {999999999999999.0, field(3, "999999999999999.", 5)},
      // The carry test moves it to exponent form, which shows 16 digits.
      {999999999999999.5, field(2, "9.999999999999995E+014")},
      {1.0E+15, field(2, "1.000000000000000E+015")},
      {0.05, field(2, "5.000000000000000E-002")},
      {1.0E-5, field(2, "1.000000000000000E-005")},
      {-1.0E-300, field(1, "-1.000000000000000E-300")},
      {-0.0025, field(1, "-2.500000000000000E-003")},
      {kNaN, field(1, "NaN", 20)},
      {kInf, field(1, "Infinity", 15)},
      {-kInf, field(1, "-Infinity", 14)},
      // Just below 0.1 but not reaching it at 15 digits: exponent form.
      {0.0999999999999, field(2, "9.999999999990000E-002")},
      {-std::numeric_limits<double>::min(),
       field(1, "-2.225073858507201E-308")},
  };
  check(list_field_64, cases, std::size(cases));
}

TEST(NumberFieldExtended, Examples) {
  const Case cases[] = {
      {0.0, field(6, "0.000000000000000000", 4)},
      {-0.0, field(6, "0.000000000000000000", 4)},
      {123.456, field(6, "123.4560000000000031", 4)},
      {12345.678, field(6, "12345.67799999999988", 4)},
      {0.1, field(5, "0.1000000000000000056", 4)},
      {0.05, field(5, "5.0000000000000002776E-02")},
      {1.0E-5, field(5, "1.0000000000000000818E-05")},
      {1.0E+300, field(5, "1.0000000000000000525+300")},
      {kNaN, field(27, "NaN")},
      {-kInf, field(21, "-Infinity")},
      {kInf, field(22, "Infinity")},
      // Negative and below 1: the widest plain decimal, 22 of 26.
      {-0.1, field(4, "-0.1000000000000000056", 4)},
      // Negative with a three-digit exponent: the widest, 26 of 30
      // (the binary64 1.0E-300 is 1.00000000000000002505909...E-300).
      {-1.0E-300, field(4, "-1.0000000000000000251-300")},
  };
  check(extended_field, cases, std::size(cases));
}

Binary128 widened(double x) {
  return std::bit_cast<Binary128>(static_cast<__float128>(x));
}

TEST(NumberFieldList128, Examples) {
  struct Case128 {
    Binary128 value;
    std::string expected;
  };
  const Case128 cases[] = {
      {widened(0.0), field(2, "0.000000000000000000000000000000000E+0000")},
      {widened(-0.0), field(2, "0.000000000000000000000000000000000E+0000")},
      {widened(123.456), field(3, "123.456000000000003069544618483633", 6)},
      {widened(0.1), field(2, "0.100000000000000005551115123125783", 6)},
      {widened(-1.5), field(2, "-1.50000000000000000000000000000000", 6)},
      // 1.0E+33 is exactly 999999999999999945575230987042816.
      {widened(1.0E+33), field(3, "999999999999999945575230987042816.", 6)},
      {widened(1.0E+34), field(2, "9.999999999999999455752309870428160E+0033")},
      {widened(1.0E-5), field(2, "1.000000000000000081803053914031310E-0005")},
      // Negative and below 1: the widest plain decimal, 36 of 37.
      {widened(-0.1), field(1, "-0.100000000000000005551115123125783", 6)},
      {widened(kNaN), field(1, "NaN", 39)},
      {widened(kInf), field(1, "Infinity", 34)},
      {widened(-kInf), field(1, "-Infinity", 33)},
      // A binary128 quiet NaN with its sign set: no sign is printed.
      {Binary128{0, 0xFFFF800000000000ull}, field(1, "NaN", 39)},
      // The largest binary128 value, 1.18973149535723176508575932662800701
      // 6196...E+4932: a four-digit exponent, 42 of 43 characters.
      {Binary128{~0ull, 0xFFFEFFFFFFFFFFFFull},
       field(1, "-1.189731495357231765085759326628007E+4932")},
  };
  for (const auto &c : cases) {
    const FieldText t = format_number_field(c.value, list_field_128);
    EXPECT_EQ(std::string(t.view()), c.expected);
    EXPECT_EQ(t.length, 43);
  }
}

} // namespace
} // namespace sshsum
