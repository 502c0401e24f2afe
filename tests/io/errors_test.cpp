// Error reports: their switches, their traceback and the end of the run,
// each in a forked child.
#include "child_process.hpp"
#include "io/errors.hpp"
#include "io/units.hpp"

#include <dlfcn.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <string>

namespace sshsum {
namespace {

using test::check_report_layout;
using test::ChildResult;
using test::expected_header;
using test::first_line;
using test::read_file;
using test::run_in_child;
using test::TempDir;
using test::write_file;

const std::string kLine41 = "forrtl: severe (41): insufficient virtual memory";

void enter(const TempDir &dir) {
  if (::chdir(dir.path.c_str()) != 0)
    ::_exit(98);
}

TEST(IoErrors, UnitlessErrorEndsWithItsNumber) {
  const ChildResult r = run_in_child([] { raise_error(41); });
  EXPECT_EQ(r.exit_status, 41);
  EXPECT_EQ(check_report_layout(r.err, kLine41), "");
  EXPECT_EQ(r.out, "");
}

TEST(IoErrors, StackTraceSwitch) {
  const std::pair<const char *, bool> cases[] = {
      {"yes", false}, {"0", true},   {"T", false},
      {"", true},     {"12", false}, {"abc", true},
  };
  for (const auto &[value, traceback] : cases) {
    const ChildResult r = run_in_child([&] {
      ::setenv("FOR_DISABLE_STACK_TRACE", value, 1);
      raise_error(41);
    });
    EXPECT_EQ(r.exit_status, 41);
    if (traceback)
      EXPECT_EQ(check_report_layout(r.err, kLine41), "") << value;
    else
      EXPECT_EQ(r.err, kLine41 + "\r\r\n") << value;
  }
}

TEST(IoErrors, DisplaySwitchLogFileAndFort0) {
  TempDir dir;
  write_file(dir.file("log"), "earlier\n");
  // The log file gets the same bytes as standard error, appended.
  const ChildResult logged = run_in_child([&] {
    ::setenv("FOR_DIAGNOSTIC_LOG_FILE", dir.file("log").c_str(), 1);
    raise_error(41);
  });
  EXPECT_EQ(logged.exit_status, 41);
  EXPECT_EQ(check_report_layout(logged.err, kLine41), "");
  EXPECT_EQ(read_file(dir.file("log")), "earlier\n" + logged.err);

  // Display off: nothing on standard error, the log file still written.
  const std::pair<const char *, bool> display[] = {
      {"yes", false}, {"0", true},   {"T", false},
      {"", true},     {"12", false}, {"abc", true},
  };
  for (const auto &[value, shown] : display) {
    write_file(dir.file("log2"), "");
    const ChildResult r = run_in_child([&] {
      ::setenv("FOR_DISABLE_DIAGNOSTIC_DISPLAY", value, 1);
      ::setenv("FOR_DIAGNOSTIC_LOG_FILE", dir.file("log2").c_str(), 1);
      ::setenv("FOR_DISABLE_STACK_TRACE", "y", 1);
      raise_error(41);
    });
    EXPECT_EQ(r.exit_status, 41);
    EXPECT_EQ(r.err, shown ? kLine41 + "\r\r\n" : "") << value;
    EXPECT_EQ(read_file(dir.file("log2")), kLine41 + "\r\r\n") << value;
  }

  // A log file that cannot be opened is passed over.
  const ChildResult unopenable = run_in_child([&] {
    ::setenv("FOR_DIAGNOSTIC_LOG_FILE", dir.file("no/such/log").c_str(), 1);
    ::setenv("FOR_DISABLE_STACK_TRACE", "1", 1);
    raise_error(41);
  });
  EXPECT_EQ(unopenable.exit_status, 41);
  EXPECT_EQ(unopenable.err, kLine41 + "\r\r\n");

  // FORT0: standard error itself goes to the end of the file.
  write_file(dir.file("fort0"), "kept\n");
  const ChildResult fort0 = run_in_child([&] {
    ::setenv("FORT0", dir.file("fort0").c_str(), 1);
    ::setenv("FOR_DISABLE_STACK_TRACE", "yes", 1);
    raise_error(41);
  });
  EXPECT_EQ(fort0.exit_status, 41);
  EXPECT_EQ(fort0.err, "");
  EXPECT_EQ(read_file(dir.file("fort0")), "kept\n" + kLine41 + "\r\r\n");
}

// Two calls the traceback must list, the inner one first. The call goes
// through a pointer (the compiler cannot see that it does not return) and
// code follows it, so each return address lies inside its function.
void (*volatile fail)(int) = raise_error;
int after_call;

__attribute__((noinline)) void inner_call() {
  fail(41);
  after_call = after_call + 1;
}

__attribute__((noinline)) void outer_call() {
  inner_call();
  after_call = after_call + 2;
}

TEST(IoErrors, TracebackListsModuleRelativeAddressesInnermostFirst) {
  const ChildResult r = run_in_child([] { outer_call(); });
  ASSERT_EQ(r.exit_status, 41);
  ASSERT_EQ(check_report_layout(r.err, kLine41), "");

  // The child is a fork of this process: same modules, same addresses.
  Dl_info info{};
  ASSERT_NE(::dladdr(reinterpret_cast<void *>(&inner_call), &info), 0);
  const auto base = reinterpret_cast<std::uintptr_t>(info.dli_fbase);
  std::uintptr_t inner = reinterpret_cast<std::uintptr_t>(&inner_call) - base;
  std::uintptr_t outer = reinterpret_cast<std::uintptr_t>(&outer_call) - base;
  auto window = [](std::uintptr_t start, std::uintptr_t other) {
    const std::uintptr_t limit = 4096;
    return other > start && other - start < limit ? other - start : limit;
  };
  const std::uintptr_t inner_size = window(inner, outer);
  const std::uintptr_t outer_size = window(outer, inner);

  std::string image = info.dli_fname;
  image = image.substr(image.rfind('/') + 1).substr(0, 17);
  image.resize(17, ' ');
  const std::regex line("(.{17})  ([0-9A-F]{8,})  .*\r");
  int inner_at = -1, outer_at = -1, index = 0;
  std::size_t at = first_line(r.err).size() + expected_header().size();
  while (at < r.err.size()) {
    const std::size_t end = r.err.find('\n', at);
    const std::string text = r.err.substr(at, end - at);
    std::smatch m;
    ASSERT_TRUE(std::regex_match(text, m, line)) << text;
    const std::uintptr_t pc = std::stoull(m[2].str(), nullptr, 16);
    if (m[1].str() == image && pc > inner && pc - inner < inner_size)
      inner_at = index;
    if (m[1].str() == image && pc > outer && pc - outer < outer_size)
      outer_at = index;
    ++index;
    at = end + 1;
  }
  EXPECT_GE(inner_at, 1) << r.err; // the reporting frames come first
  EXPECT_GT(outer_at, inner_at) << r.err;
}

// One frame per level: the call is not the last thing the function does.
__attribute__((noinline)) void go_down(int depth) {
  if (depth == 0)
    fail(41);
  else
    go_down(depth - 1);
  after_call = after_call + depth;
}

TEST(IoErrors, ReportIsCutAt16384Bytes) {
  // A deep stack makes a traceback longer than the report buffer.
  const ChildResult r = run_in_child([] { go_down(300); });
  EXPECT_EQ(r.exit_status, 41);
  // Undo the text-mode line ends: what is left is the composed buffer.
  std::string composed;
  for (std::size_t i = 0; i < r.err.size(); ++i)
    if (!(r.err[i] == '\r' && i + 1 < r.err.size() && r.err[i + 1] == '\n'))
      composed += r.err[i];
  EXPECT_EQ(composed.size(), kReportBufferSize);
  EXPECT_EQ(first_line(r.err), kLine41 + "\r\r\n");
}

int hook_fd = -1;
void note_hook() {
  const char text[] = "hook\n";
  (void)!::write(hook_fd, text, sizeof text - 1);
}

TEST(IoErrors, HooksRunOnTheFatalPathOnly) {
  TempDir dir;
  const ChildResult fatal = run_in_child([] {
    hook_fd = STDOUT_FILENO;
    add_termination_hook(note_hook);
    raise_error(41);
  });
  EXPECT_EQ(fatal.exit_status, 41);
  EXPECT_EQ(fatal.out, "hook\n");

  const ChildResult normal = run_in_child([&] {
    enter(dir);
    hook_fd = STDOUT_FILENO;
    add_termination_hook(note_hook);
    open_unit(kReportUnit, "ssh.rez", 7, "unknown", "formatted");
    write_record(kReportUnit, "x", 1);
    write_record(kConsoleUnit, "y", 1);
    const int status = finish_run();
    // Everything is closed: the units are free.
    ::_exit(find_unit(kReportUnit) || find_unit(kConsoleUnit) ? 1 : status);
  });
  EXPECT_EQ(normal.exit_status, 0);
  EXPECT_EQ(normal.out, "y\r\n");
  EXPECT_EQ(normal.err, "");
  EXPECT_EQ(read_file(dir.file("ssh.rez")), "x\r\n");
}

TEST(IoErrors, FinishRunReportsAFailedClose) {
  TempDir dir;
  const ChildResult r = run_in_child([&] {
    enter(dir);
    UnitRecord &unit =
        open_unit(kReportUnit, "ssh.rez", 7, "unknown", "formatted");
    ::close(unit.fd);
    ::_exit(finish_run());
  });
  EXPECT_EQ(r.exit_status, 28);
  EXPECT_EQ(first_line(r.err), "forrtl: severe (28): CLOSE error, unit 1, "
                               "file " +
                                   dir.file("ssh.rez") + "\r\r\n");
}

} // namespace
} // namespace sshsum
