// The report's records: 23 lines, 666 bytes, the fixed empty and one-blank
// lines, and the example lines, for value mixes that stretch every field.

#include "io/units.hpp"
#include "report/report_layout.hpp"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace sshsum {
namespace {

// Captures what the console unit (standard output) receives while `body`
// runs.
template <typename Body> std::string capture_console(Body body) {
  std::fflush(stdout);
  char path[] = "/tmp/sshsum-layout.XXXXXX";
  const int fd = mkstemp(path);
  const int saved = dup(1);
  dup2(fd, 1);
  body();
  dup2(saved, 1);
  close(saved);
  std::string bytes;
  char buffer[4096];
  lseek(fd, 0, SEEK_SET);
  for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;)
    bytes.append(buffer, static_cast<std::size_t>(n));
  close(fd);
  unlink(path);
  return bytes;
}

std::vector<std::string> records(const std::string &bytes) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (std::size_t at; (at = bytes.find("\r\n", start)) != std::string::npos;
       start = at + 2)
    out.push_back(bytes.substr(start, at - start));
  EXPECT_EQ(start, bytes.size()) << "every record ends in CR LF";
  return out;
}

Binary128 quad(__float128 q) { return std::bit_cast<Binary128>(q); }

SumResults filled(double v64, __float128 v128) {
  SumResults r;
  r.ssh_min = r.ssh_max = r.sum_row = r.sum_col = r.sum_row_reverse =
      r.sum_col_reverse = r.sum_plus = r.sum_minus = r.sum_plus_minus =
          r.sum_row_10 = r.sum_col_10 = v64;
  r.sum_row_16 = r.sum_col_16 = quad(v128);
  return r;
}

std::string full_report(const SumResults &r) {
  return capture_console([&] {
    write_report_block(kConsoleUnit, ReportBlock::extremes, r);
    write_report_block(kConsoleUnit, ReportBlock::sums, r);
  });
}

TEST(ReportLayout, LengthsDoNotDependOnTheValues) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double max = std::numeric_limits<double>::max();
  const double tiny = std::numeric_limits<double>::denorm_min();
  const __float128 qmax = static_cast<__float128>(max) * 7680;
  const SumResults mixes[] = {
      filled(nan, nan),
      filled(inf, inf),
      filled(-inf, -inf),
      filled(0.0, 0),
      filled(-0.0, -static_cast<__float128>(0.0)),
      filled(tiny, tiny),
      filled(-tiny, -static_cast<__float128>(tiny)),
      filled(max, qmax),
      filled(-max, -qmax),
      filled(-0.5, -0.5),
      filled(-1.0e-300, -1.0e-300),
  };
  const std::size_t lengths[] = {13, 34, 34, 0, 8, 34, 34, 1, 42, 42, 0, 23,
                                 36, 37, 47, 0, 9, 56, 56, 0, 30, 42, 42};
  for (const SumResults &r : mixes) {
    const std::string bytes = full_report(r);
    EXPECT_EQ(bytes.size(), 666u);
    const auto lines = records(bytes);
    ASSERT_EQ(lines.size(), 23u);
    for (std::size_t i = 0; i < 23; ++i)
      EXPECT_EQ(lines[i].size(), lengths[i]) << "line " << i + 1;
    EXPECT_EQ(lines[7], " ");
  }
}

TEST(ReportLayout, ExampleLines) {
  SumResults r = filled(0.0, 0);
  r.ssh_min = -1.5;
  r.sum_row = 123.456;
  r.sum_col = std::numeric_limits<double>::infinity();
  r.sum_row_10 = 0.1;
  const auto lines = records(full_report(r));
  ASSERT_EQ(lines.size(), 23u);
  EXPECT_EQ(lines[0], "Date Extreme:");
  EXPECT_EQ(lines[1], " ssh_min =  -1.500000000000000D+00");
  EXPECT_EQ(lines[4], "Real(8):");
  EXPECT_EQ(lines[5], " sum_row =   123.456000000000     ");
  EXPECT_EQ(lines[6], " sum_col = Infinity               ");
  EXPECT_EQ(lines[11], "Sum on array (Real(8)):");
  EXPECT_EQ(lines[12], "  sum_plus =  0.000000000000000E+000");
  EXPECT_EQ(lines[16], "Real(16):");
  EXPECT_EQ(lines[20], "~Real(10). Extended Precision:");
  EXPECT_EQ(lines[21], "sum_row_10 =     0.1000000000000000056    ");
  EXPECT_EQ(lines[22], "sum_col_10 =      0.000000000000000000    ");
}

TEST(ReportLayout, BlocksAreSeparateWrites) {
  const SumResults r = filled(2.0, 2);
  const std::string extremes = capture_console(
      [&] { write_report_block(kConsoleUnit, ReportBlock::extremes, r); });
  const std::string sums = capture_console(
      [&] { write_report_block(kConsoleUnit, ReportBlock::sums, r); });
  EXPECT_EQ(records(extremes).size(), 3u);
  EXPECT_EQ(records(sums).size(), 20u);
  EXPECT_EQ(extremes + sums, full_report(r));
}

} // namespace
} // namespace sshsum
