// Decimal input conversion against the public corpus in SSHSUM_CORPUS_DIR:
//   decimal_binary64.tsv, double_rounding.tsv: every row, the 53-bit column
//     under the 53-bit precision control and the 64-bit column under the
//     64-bit one, and the path column.
//   long_path_tokens.txt: every token within one unit in the last place of
//     glibc strtod's correctly rounded value.
#include "input/text_to_binary64.hpp"
#include "input/x87_precision_guard.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace sshsum {
namespace {

using testing::X87PrecisionGuard;

struct Row {
  std::string token;
  std::string path;
  std::uint64_t expected_53;
  std::uint64_t expected_64;
};

std::vector<Row> read_table(const std::string &name) {
  std::ifstream in(std::string(SSHSUM_CORPUS_DIR) + "/" + name);
  std::vector<Row> rows;
  std::string line;
  std::getline(in, line); // header
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    Row r;
    std::string b53, b64;
    std::getline(fields, r.token, '\t');
    std::getline(fields, r.path, '\t');
    std::getline(fields, b53, '\t');
    std::getline(fields, b64, '\t');
    r.expected_53 = std::strtoull(b53.c_str(), nullptr, 16);
    r.expected_64 = std::strtoull(b64.c_str(), nullptr, 16);
    rows.push_back(r);
  }
  return rows;
}

const char *path_name(ConversionPath p) {
  switch (p) {
  case ConversionPath::integer:
    return "integer";
  case ConversionPath::short_first:
    return "short1";
  case ConversionPath::short_second:
    return "short2";
  case ConversionPath::long_path:
    return "long";
  default:
    return "special";
  }
}

// Runs every row under one precision setting; returns the mismatches.
int check_table(const std::vector<Row> &rows, std::uint16_t precision) {
  const X87PrecisionGuard guard(precision);
  int failures = 0;
  for (const Row &r : rows) {
    const TracedConversion c =
        text_to_binary64_traced(r.token.data(), r.token.size());
    const std::uint64_t expected =
        precision == kX87Precision53 ? r.expected_53 : r.expected_64;
    const std::uint64_t got = std::bit_cast<std::uint64_t>(c.result.value);
    if (got != expected || c.result.status != 0 ||
        r.path != path_name(c.path)) {
      if (++failures <= 10)
        ADD_FAILURE() << r.token << ": got " << std::hex << got << " via "
                      << path_name(c.path) << ", expected " << expected
                      << " via " << r.path;
    }
  }
  return failures;
}

TEST(InputConversionCorpus, PublicTableUnderBothPrecisions) {
  const std::vector<Row> rows = read_table("decimal_binary64.tsv");
  ASSERT_EQ(rows.size(), 37844u);
  EXPECT_EQ(check_table(rows, kX87Precision53), 0);
  EXPECT_EQ(check_table(rows, kX87Precision64), 0);
}

TEST(InputConversionCorpus, DoubleRoundingTableUnderBothPrecisions) {
  const std::vector<Row> rows = read_table("double_rounding.tsv");
  ASSERT_EQ(rows.size(), 300u);
  for (const Row &r : rows)
    ASSERT_NE(r.expected_53, r.expected_64) << r.token;
  EXPECT_EQ(check_table(rows, kX87Precision53), 0);
  EXPECT_EQ(check_table(rows, kX87Precision64), 0);
}

// glibc strtod, correctly rounded; the corpus tokens use only "e"/"E".
double correctly_rounded(const std::string &token) {
  return std::strtod(token.c_str(), nullptr);
}

TEST(InputConversionCorpus, LongPathTokensWithinOneUnit) {
  std::ifstream in(std::string(SSHSUM_CORPUS_DIR) + "/long_path_tokens.txt");
  std::vector<std::string> tokens;
  for (std::string line; std::getline(in, line);)
    tokens.push_back(line);
  ASSERT_EQ(tokens.size(), 7727u);

  // The long path is integer arithmetic: same under both settings.
  for (const std::uint16_t precision : {kX87Precision53, kX87Precision64}) {
    const X87PrecisionGuard guard(precision);
    int failures = 0, off_by_one = 0;
    for (const std::string &token : tokens) {
      const TracedConversion c =
          text_to_binary64_traced(token.data(), token.size());
      // All corpus tokens are positive, so the bit patterns are ordered
      // like the values, and one step past the largest finite value is
      // infinity, one step below the smallest subnormal is +0.
      const auto got = std::bit_cast<std::int64_t>(c.result.value);
      const auto want = std::bit_cast<std::int64_t>(correctly_rounded(token));
      const std::int64_t distance = got > want ? got - want : want - got;
      off_by_one += distance == 1;
      const bool infinite = std::isinf(c.result.value);
      const bool ok = c.path == ConversionPath::long_path ||
                      (c.path == ConversionPath::too_large && infinite) ||
                      (c.path == ConversionPath::zero && got == 0);
      if (!ok || distance > 1 || c.result.status != (infinite ? 8 : 0)) {
        if (++failures <= 10)
          ADD_FAILURE() << token << ": got " << c.result.value << " status "
                        << c.result.status << ", strtod "
                        << correctly_rounded(token);
      }
    }
    EXPECT_EQ(failures, 0);
    // Not a requirement, a sanity figure: the off-by-one results are rare.
    EXPECT_LT(off_by_one, 100);
    RecordProperty("off_by_one", off_by_one);
  }
}

} // namespace
} // namespace sshsum
