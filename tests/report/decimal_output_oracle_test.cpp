// The decimal output conversion against independent oracles: glibc's
// snprintf("%.*e") for binary64 and libquadmath's quadmath_snprintf("%.*Qe")
// for binary128, both correctly rounded to nearest, ties to even.
//
// Up to 17 digits the digits must be equal. From 18 digits on the 128-bit
// tier is taken without a correctness check: its digits must equal the
// correctly rounded ones or differ by one unit in the last digit; the test
// counts how often they differ and prints the figure.

#include "report/decimal_output.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

extern "C" {
#include <quadmath.h>
}

namespace sshsum {
namespace {

using u128 = unsigned __int128;

struct Decimal {
  std::string digits; // significant digits, first one nonzero
  int exponent = 0;   // value = 0.digits * 10^exponent
};

// "d.ddde+XX" as printed by the oracles.
Decimal parse_e_format(const char *text) {
  Decimal d;
  const char *p = text;
  if (*p == '-')
    ++p;
  for (; *p != 'e'; ++p)
    if (*p != '.')
      d.digits += *p;
  d.exponent = std::atoi(p + 1) + 1;
  return d;
}

Decimal oracle(double x, int n) {
  char text[128];
  std::snprintf(text, sizeof text, "%.*e", n - 1, x);
  return parse_e_format(text);
}

Decimal oracle(__float128 x, int n) {
  char text[128];
  quadmath_snprintf(text, sizeof text, "%.*Qe", n - 1, x);
  return parse_e_format(text);
}

Decimal ours(double x, int n) {
  const DecimalDigits d = significant_digit_conversion(x, n, 0);
  return {std::string(d.text()), d.exponent};
}

Decimal ours(__float128 x, int n) {
  const DecimalDigits d =
      significant_digit_conversion(std::bit_cast<Binary128>(x), n, 0);
  return {std::string(d.text()), d.exponent};
}

u128 integer_of(const std::string &digits) {
  u128 v = 0;
  for (char c : digits)
    v = v * 10 + static_cast<unsigned>(c - '0');
  return v;
}

// The difference of two n-digit results in units of the last digit of the
// one with the smaller exponent; -1 when they are farther apart than that.
int units_apart(const Decimal &a, const Decimal &b) {
  if (a.digits.size() != b.digits.size())
    return -1;
  u128 va = integer_of(a.digits);
  u128 vb = integer_of(b.digits);
  if (a.exponent == b.exponent + 1)
    va *= 10;
  else if (b.exponent == a.exponent + 1)
    vb *= 10;
  else if (a.exponent != b.exponent)
    return -1;
  const u128 diff = va > vb ? va - vb : vb - va;
  return diff > 1 ? -1 : static_cast<int>(diff);
}

struct Tally {
  long compared = 0;
  long differing = 0;
};

template <typename T> void compare(T x, int n, Tally &tally, const char *what) {
  const Decimal expected = oracle(x, n);
  const Decimal got = ours(x, n);
  ++tally.compared;
  if (n <= 17) {
    ASSERT_EQ(got.digits, expected.digits) << what << " to " << n;
    ASSERT_EQ(got.exponent, expected.exponent) << what << " to " << n;
    return;
  }
  const int apart = units_apart(got, expected);
  ASSERT_GE(apart, 0) << what << " to " << n << ": " << got.digits << "e"
                      << got.exponent << " against " << expected.digits << "e"
                      << expected.exponent;
  tally.differing += apart;
}

double random_double(std::mt19937_64 &rng) {
  for (;;) {
    const double x = std::bit_cast<double>(rng());
    if (std::isfinite(x) && x != 0)
      return x;
  }
}

__float128 random_quad(std::mt19937_64 &rng) {
  for (;;) {
    Binary128 b{rng(), rng()};
    const auto x = std::bit_cast<__float128>(b);
    if (!isinfq(x) && !isnanq(x) && x != 0)
      return x;
  }
}

// The values: random bit patterns over the whole range, subnormals, the
// binary64 values nearest the powers of ten with their neighbours, and
// exact halves m / 2^j (whose decimal expansion ends in 5 at a known
// place), so that ties are hit on purpose.
std::vector<double> binary64_values(std::mt19937_64 &rng) {
  std::vector<double> v;
  for (int i = 0; i < 12000; ++i)
    v.push_back(random_double(rng));
  for (int i = 0; i < 2000; ++i)
    v.push_back(std::bit_cast<double>(rng() >> 12)); // subnormal
  for (int k = -323; k <= 308; ++k) {
    char text[16];
    std::snprintf(text, sizeof text, "1e%d", k);
    const double p = std::strtod(text, nullptr);
    v.push_back(p);
    v.push_back(std::nextafter(p, 0.0));
    v.push_back(std::nextafter(p, 2 * p));
  }
  for (int i = 0; i < 3000; ++i) {
    const std::uint64_t m = (rng() >> (11 + rng() % 40)) | 1;
    v.push_back(
        std::ldexp(static_cast<double>(m), -static_cast<int>(rng() % 60)));
  }
  return v;
}

std::vector<__float128> binary128_values(std::mt19937_64 &rng) {
  std::vector<__float128> v;
  for (int i = 0; i < 5000; ++i)
    v.push_back(random_quad(rng));
  // Magnitudes of this program's sums: binary128 values within the
  // binary64 range, with all 113 bits.
  for (int i = 0; i < 5000; ++i) {
    const __float128 m = random_quad(rng);
    int e;
    (void)frexpq(m, &e);
    v.push_back(ldexpq(frexpq(m, &e), static_cast<int>(rng() % 2100) - 1075));
  }
  for (int i = 0; i < 1000; ++i) { // widened binary64 values
    v.push_back(random_double(rng));
  }
  for (int i = 0; i < 1000; ++i) {
    Binary128 b{rng(), rng() & 0x8000FFFFFFFFFFFFull}; // subnormal
    v.push_back(std::bit_cast<__float128>(b));
  }
  for (int k = -330; k <= 330; ++k) {
    const __float128 p = powq(10, k);
    v.push_back(p);
    v.push_back(nextafterq(p, 0));
    v.push_back(nextafterq(p, 2 * p));
  }
  for (int i = 0; i < 2000; ++i) {
    const u128 m =
        ((static_cast<u128>(rng()) << 64 | rng()) >> (15 + rng() % 100)) | 1;
    v.push_back(
        ldexpq(static_cast<__float128>(m), -static_cast<int>(rng() % 100)));
  }
  return v;
}

TEST(DecimalOutputOracle, Binary64AgainstSnprintf) {
  std::mt19937_64 rng(20261211);
  Tally short_tally, long_tally, tie_tally;
  for (double x : binary64_values(rng)) {
    // Every count up to 17 for some values, two random counts for all.
    compare(x, 1 + static_cast<int>(rng() % 17), short_tally, "binary64");
    compare(x, 16, short_tally, "binary64");
    compare(x, 18 + static_cast<int>(rng() % 20), long_tally, "binary64");
    if (HasFatalFailure())
      return;
  }
  // The exact halves again, at the digit count where they are ties.
  for (int i = 0; i < 3000; ++i) {
    const std::uint64_t m = (rng() >> (11 + rng() % 40)) | 1;
    const double x =
        std::ldexp(static_cast<double>(m), -1 - static_cast<int>(rng() % 50));
    char text[1100];
    std::snprintf(text, sizeof text, "%.1074e", x);
    const Decimal exact = parse_e_format(text);
    const auto last = exact.digits.find_last_not_of('0');
    const int n = static_cast<int>(last); // digits before the final 5
    if (n >= 1 && n <= 37) {
      compare(x, n, n <= 17 ? short_tally : tie_tally, "binary64 tie");
      if (HasFatalFailure())
        return;
    }
  }
  std::printf("binary64: %ld comparisons up to 17 digits, all equal; %ld "
              "from 18 to 37 digits, %ld one unit off; %ld exact ties from "
              "18 to 37 digits, %ld one unit off\n",
              short_tally.compared, long_tally.compared, long_tally.differing,
              tie_tally.compared, tie_tally.differing);
}

TEST(DecimalOutputOracle, Binary128AgainstQuadmath) {
  std::mt19937_64 rng(4932);
  Tally short_tally, long_tally, report_tally;
  for (__float128 x : binary128_values(rng)) {
    compare(x, 1 + static_cast<int>(rng() % 17), short_tally, "binary128");
    compare(x, 18 + static_cast<int>(rng() % 20), long_tally, "binary128");
    compare(x, 34, report_tally, "binary128");
    if (HasFatalFailure())
      return;
  }
  std::printf("binary128: %ld comparisons up to 17 digits, all equal; %ld "
              "from 18 to 37 digits, %ld one unit off; %ld at 34 digits, %ld "
              "one unit off\n",
              short_tally.compared, long_tally.compared, long_tally.differing,
              report_tally.compared, report_tally.differing);
}

// fixed_conversion against glibc's "%.*f" for places that leave at most 17
// digits (the correctly rounded tier), including values that round to zero
// or to one unit of the last place.
TEST(DecimalOutputOracle, FixedAgainstSnprintf) {
  std::mt19937_64 rng(17);
  int compared = 0;
  for (int i = 0; i < 20000; ++i) {
    const double x = std::ldexp(static_cast<double>(rng() >> 11),
                                -53 + static_cast<int>(rng() % 100) - 50) *
                     ((rng() & 1) ? -1 : 1);
    const int f = static_cast<int>(rng() % 30);
    const DecimalDigits d = fixed_conversion(x, 120, f, 0);
    if (d.status == kStatusDigits && d.end - d.first > 17)
      continue;
    char text[512];
    std::snprintf(text, sizeof text, "%.*f", f, std::fabs(x));
    std::string all;
    for (const char *p = text; *p; ++p)
      if (*p != '.')
        all += *p;
    const auto lead = all.find_first_not_of('0');
    ++compared;
    if (lead == std::string::npos) {
      EXPECT_EQ(d.status, kStatusZero) << text;
      continue;
    }
    // "%.*f" has f digits after the point, so the first nonzero digit is
    // at place (digits before the point) - lead, which is N.
    const int n = static_cast<int>(all.size()) - f - static_cast<int>(lead);
    std::string significant = all.substr(lead);
    EXPECT_EQ(std::string(d.text()), significant) << text;
    EXPECT_EQ(d.exponent, n) << text;
  }
  EXPECT_GT(compared, 10000);
}

} // namespace
} // namespace sshsum
