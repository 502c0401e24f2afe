// Decimal input conversion: the stated examples, the syntax, and the path
// choice. Corpus-wide checks are in text_to_binary64_corpus_test.cpp.
#include "input/text_to_binary64.hpp"
#include "input/x87_precision_guard.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace sshsum {
namespace {

using testing::X87PrecisionGuard;

std::uint64_t bits_of(double v) { return std::bit_cast<std::uint64_t>(v); }

TracedConversion convert(const std::string &text) {
  return text_to_binary64_traced(text.data(), text.size());
}

struct Example {
  std::string text;
  std::uint64_t bits;
  int status;
};

void expect_examples(const std::vector<Example> &examples) {
  for (const Example &e : examples) {
    const Binary64Conversion r =
        text_to_binary64(e.text.data(), e.text.size(), false);
    EXPECT_EQ(bits_of(r.value), e.bits) << e.text;
    EXPECT_EQ(r.status, e.status) << e.text;
    // The reader's "." flag never changes the result.
    const Binary64Conversion flagged =
        text_to_binary64(e.text.data(), e.text.size(), true);
    EXPECT_EQ(bits_of(flagged.value), e.bits) << e.text;
  }
}

constexpr std::uint64_t kPlusInf = 0x7FF0000000000000;
constexpr std::uint64_t kMinusInf = 0xFFF0000000000000;
constexpr std::uint64_t kMinusZero = 0x8000000000000000;

// Values that do not depend on the x87 precision: integer and long paths,
// short-path values that need no rounding at all, the special values.
const std::vector<Example> &setting_independent_examples() {
  static const std::vector<Example> examples = {
      {"0.1", 0x3FB999999999999A, 0},
      {"123456789012345678", 0x437B69B4BA630F35, 0},
      {"9007199254740993", 0x4340000000000000, 0}, // exact tie, to even
      {"9007199254740995", 0x4340000000000002, 0}, // tie, up to even
      // Long path: 10^-1 is stored rounded up, so the midpoint rounds up.
      {"4503599627370496.5", 0x4330000000000001, 0},
      // Digits past the 27th only set the dropped-digit flag.
      {"1.000000000000000111022302462515654042363166809082031250001",
       0x3FF0000000000000, 0},
      {"2.4703282292062328E-324", 0x0000000000000001, 0},
      {"2.4703282292062327E-324", 0x0000000000000000, 0},
      {"-2.4703282292062327E-324", kMinusZero, 0},
      {"1.7976931348623158E308", 0x7FEFFFFFFFFFFFFF, 0},
      {"1.797693134862315808E308", kPlusInf, 8},
      {"-1.797693134862315808E308", kMinusInf, 8},
      {"1E400", kPlusInf, 8},
      {"-1.8E308", kMinusInf, 8},
      {"1E-400", 0, 0},
      {"-1E-400", kMinusZero, 0},
      {"0." + std::string(330, '0') + "1", 0, 0},
      {"2" + std::string(309, '0') + "E-1", kPlusInf, 8},
      {"0." + std::string(322, '0') + "1", 0x0000000000000002, 0},
      // Subnormal results, and both sides of the midpoint between the
      // largest subnormal and 2^-1022 (2.22507385850720113605...e-308).
      {"4.9E-324", 0x0000000000000001, 0},
      {"2.2250738585072009E-308", 0x000FFFFFFFFFFFFF, 0},
      {"2.2250738585072011E-308", 0x000FFFFFFFFFFFFF, 0},
      {"2.2250738585072012E-308", 0x0010000000000000, 0},
      {"2.2250738585072014E-308", 0x0010000000000000, 0},
      // Exponent forms.
      {"1.5E", 0x3FF8000000000000, 0},
      {"1.5E+", 0x3FF8000000000000, 0},
      {"1.5e-", 0x3FF8000000000000, 0},
      {"1.0-5", 0x3EE4F8B588E368F1, 0},
      {"1+5", 0x40F86A0000000000, 0},
      {"1d5", 0x40F86A0000000000, 0},
      {"1q5", 0x40F86A0000000000, 0},
      {"1D+0005", 0x40F86A0000000000, 0},
      {"1.5D+03", 0x4097700000000000, 0},
      {"-12.", 0xC028000000000000, 0},
      {".5", 0x3FE0000000000000, 0},
      {"000.00012500e4", 0x3FF4000000000000, 0},
      // Exponents of more than 6 significant digits, and the range edges.
      {"1E1000000", kPlusInf, 8},
      {"-1E+1000000", kMinusInf, 8},
      {"1E-1000000", 0, 0},
      {"-1E-1000000", kMinusZero, 0},
      {"1E999999", kPlusInf, 8},
      {"1E0000000000005", 0x40F86A0000000000, 0},
      {"0E9999999", 0, 0},
      // Zeros: negative only with "-" and a zero digit.
      {"0", 0, 0},
      {"-0", kMinusZero, 0},
      {"-0.0E5", kMinusZero, 0},
      {"-.0", kMinusZero, 0},
      {"+0.000", 0, 0},
      {"-", 0, 0},
      {".", 0, 0},
      {"-.", 0, 0},
      // Words.
      {"INF", kPlusInf, 0},
      {"Inf", kPlusInf, 0},
      {"+INFINITY", kPlusInf, 0},
      {"iNfInItY", kPlusInf, 0},
      {"-inf", kMinusInf, 0},
      {"NaN", 0xFFF8000000000000, 0},
      {"-NaN", 0xFFF8000000000000, 0},
      {"+nan", 0x7FF8000000000000, 0},
  };
  return examples;
}

TEST(InputConversionExamples, SameUnderBothPrecisions) {
  for (const std::uint16_t precision : {kX87Precision53, kX87Precision64}) {
    SCOPED_TRACE(precision == kX87Precision53 ? "53-bit" : "64-bit");
    const X87PrecisionGuard guard(precision);
    expect_examples(setting_independent_examples());
  }
}

TEST(InputConversionExamples, ShortPathRoundsOnceUnder53Bits) {
  const X87PrecisionGuard guard(kX87Precision53);
  expect_examples({
      {"7.9780335", 0x401FE9819D2391D5, 0},
      {"7.97803350000000000", 0x401FE9819D2391D5, 0}, // second kind
      {"-7.9780335", 0xC01FE9819D2391D5, 0},
      {"79780335e-7", 0x401FE9819D2391D5, 0},
  });
}

TEST(InputConversionExamples, ShortPathRoundsTwiceUnder64Bits) {
  const X87PrecisionGuard guard(kX87Precision64);
  expect_examples({
      {"7.9780335", 0x401FE9819D2391D6, 0},
      {"7.97803350000000000", 0x401FE9819D2391D6, 0},
      {"-7.9780335", 0xC01FE9819D2391D6, 0},
      {"79780335e-7", 0x401FE9819D2391D6, 0},
  });
}

TEST(InputConversionExamples, ShortPathFollowsTheRealControlWord) {
  // Beyond the two settings of a run: under the 24-bit precision control
  // the one x87 operation rounds to 24 bits, so "0.1" (1 / 10) comes out as
  // the binary32 value 0.1f; under rounding toward zero with 53 bits,
  // "0.1" truncates to 0x3FB9999999999999.
  {
    const X87PrecisionGuard guard(0x0000);
    expect_examples({{"0.1", std::bit_cast<std::uint64_t>(double(0.1f)), 0}});
  }
  {
    const X87PrecisionGuard guard(kX87Precision53, kX87Rounding);
    expect_examples({{"0.1", 0x3FB9999999999999, 0}});
  }
}

TEST(InputConversionExamples, PlainTokensAgreeWithTheGeneralStages) {
  // Short plain tokens ("-0.0123457") take a fast lane; the same text with
  // "E0" appended takes the general stages and must give the same bits and
  // path, under both settings, and the bits that glibc gives (within one
  // unit for the long path, which tokens of 16 and 17 digits can take).
  std::mt19937_64 rng(4);
  std::uniform_int_distribution<int> digits(1, 17);
  for (const std::uint16_t precision : {kX87Precision53, kX87Precision64}) {
    const X87PrecisionGuard guard(precision);
    for (int i = 0; i < 40000; ++i) {
      const int d = digits(rng);
      std::string text = (rng() & 1) ? "-" : "";
      for (int k = 0; k < d; ++k)
        text += static_cast<char>('0' + rng() % 10);
      const auto point = static_cast<std::size_t>(rng() % (text.size() + 1));
      if (point >= (text[0] == '-' ? 1u : 0u))
        text.insert(point, ".");
      const TracedConversion fast = convert(text);
      const TracedConversion general = convert(text + "E0");
      ASSERT_EQ(bits_of(fast.result.value), bits_of(general.result.value))
          << text;
      ASSERT_EQ(fast.path, general.path) << text;
      // Oracles: strtod rounds once; strtold rounds to a 64-bit
      // significand and the store to binary64 rounds again.
      const double expected =
          precision == kX87Precision53
              ? std::strtod(text.c_str(), nullptr)
              : static_cast<double>(std::strtold(text.c_str(), nullptr));
      if (fast.path == ConversionPath::long_path) { // one unit at most
        const auto a = static_cast<std::int64_t>(bits_of(fast.result.value));
        const auto b = static_cast<std::int64_t>(
            bits_of(std::strtod(text.c_str(), nullptr)));
        ASSERT_LE(a > b ? a - b : b - a, 1) << text;
      } else {
        ASSERT_EQ(bits_of(fast.result.value), bits_of(expected)) << text;
      }
    }
  }
}

TEST(InputConversionExamples, LongPathFollowsItsOwnRounding) {
  // Long-path results one unit away from the correctly rounded value (the
  // second column, from glibc strtod), as the rules give them: expected
  // values from an exact-integer model of the long path
  // (tests/input/long_path_model.py, Python fractions), which agrees with
  // the conversion on all 7,727 corpus long-path tokens.
  const std::vector<Example> examples = {
      // The coarse product 10^105 * 10^21, cut to 64 bits, errs upward.
      {"1e126", 0x5A17A2ECC414A040, 0}, // correctly rounded ...A03F
      // 10^-3 stored rounded down: the midpoint lands below it.
      {"1125899906842901.875", 0x4310000000000457, 0}, // ...0458
      // Exact midpoints whose 27 kept digits fall short of them: the
      // dropped-digit flag only joins sticky, it cannot lift y.
      {"0.999999999999999944488848768742172978818416595458984375",
       0x3FEFFFFFFFFFFFFF, 0}, // 0x3FF0000000000000
      {"2.22507385850720113605740979670913197593481954635164564e-308",
       0x0010000000000000, 0}, // 0x000FFFFFFFFFFFFF
  };
  for (const std::uint16_t precision : {kX87Precision53, kX87Precision64}) {
    const X87PrecisionGuard guard(precision);
    expect_examples(examples);
  }
}

TEST(InputConversionSyntax, RefusesMalformedText) {
  for (const char *text :
       {"1.2.3", "1e5e3", "INFINITE", "INFI",  "INFIN", "INF1", "NANQ",
        "NAN(1", "1+2+3", "1E5-3",    "1E5.",  "1+2E3", "1.0-", "1-",
        "+-",    "-+1.",  "1x",       "0x1p3", "1,5",   "1 ",   " 1",
        "1e5 ",  "T",     ".TRUE.",   "none",  "in",    "n",    "-infinityy",
        "1E+-5", "1D5Q",  "12e",      "1\r",   "+"}) {
    const std::string s(text);
    const Binary64Conversion r = text_to_binary64(s.data(), s.size(), false);
    if (s == "12e" || s == "+") {
      // Accepted forms in the same neighbourhood, as a control.
      EXPECT_EQ(r.status, 0) << s;
      continue;
    }
    EXPECT_EQ(r.status, kConversionMalformed) << s;
  }
}

TEST(InputConversionPaths, ChoosesThePathByDigitsAndExponent) {
  const X87PrecisionGuard guard(kX87Precision53);
  struct Case {
    const char *text;
    ConversionPath path;
  };
  const Case cases[] = {
      {"123", ConversionPath::integer},
      {"123456789012345678", ConversionPath::integer},
      {"1234567890123456789", ConversionPath::long_path}, // D = 19, odd
      {"12.5e1", ConversionPath::integer},                // t = 0
      {"1.25", ConversionPath::short_first},
      {"123456789012345e-22", ConversionPath::short_first},
      {"1e-23", ConversionPath::long_path},
      {"1e23", ConversionPath::short_first},              // t + D = 24
      {"12345678901234e23", ConversionPath::short_first}, // t + D = 37
      {"123456789012345e23", ConversionPath::long_path},  // t + D = 38
      // D = 16: h <= 900719924 or M even.
      {"9007199249999999e-3", ConversionPath::short_first},
      {"9007199250000001e-3", ConversionPath::short_second}, // M < 2^53
      {"9007199254740993e-3", ConversionPath::long_path},
      {"9007199250000002e-3", ConversionPath::short_first},
      // Second kind: M exact in binary64, |t| <= 22.
      {"0.12345000000000000", ConversionPath::short_second},
      {"1000000000000000000000", ConversionPath::short_second}, // t = 0
      {"1234500000000000000000", ConversionPath::long_path},    // 12345 * 5^17
      {"0.12345000000000001", ConversionPath::long_path},
      {"0.12345000000000000e-5", ConversionPath::short_second}, // t = -22
      {"0.12345000000000000e-10", ConversionPath::long_path},   // t = -27
      {"0", ConversionPath::zero},
      {"1e-324", ConversionPath::long_path}, // E = -323: rounds to zero
      {"1e-325", ConversionPath::zero},
      {"1e309", ConversionPath::too_large},
      {"nan", ConversionPath::word},
      {"1..", ConversionPath::malformed},
  };
  for (const Case &c : cases)
    EXPECT_EQ(static_cast<int>(convert(c.text).path), static_cast<int>(c.path))
        << c.text;
}

TEST(InputConversionPaths, DroppedDigitsStayOutOfTheShortPath) {
  // M = 1801439850948201 * 2^36 (27 digits, exact in binary64), then one
  // dropped digit "1": D = 28, t = 1, second kind. M * 10 lies exactly
  // halfway between two binary64 values and ties to the even one,
  // 0x4590000000000006; the full value lies above the midpoint and rounds
  // to 0x4590000000000007 (Python: float(1237940039285382061605519361)).
  for (const std::uint16_t precision : {kX87Precision53, kX87Precision64}) {
    const X87PrecisionGuard guard(precision);
    const TracedConversion r = convert("1237940039285382061605519361");
    EXPECT_EQ(static_cast<int>(r.path),
              static_cast<int>(ConversionPath::short_second));
    EXPECT_EQ(bits_of(r.result.value), 0x4590000000000006u);
  }
}

} // namespace
} // namespace sshsum
