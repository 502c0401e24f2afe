// Error reports and the end of the run.
#include "io/errors.hpp"

#include "io/environment.hpp"
#include "io/traceback.hpp"
#include "io/units.hpp"
#include "platform/file_system.hpp"
#include "platform/stack_walk.hpp"

#include <cerrno>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstdlib>
#include <new>

namespace sshsum {

namespace {

// Held, never released, by the thread that ends the run. Recursive, so that
// a close failing inside finish_run can still end with its own report.
pthread_mutex_t ending_lock = PTHREAD_RECURSIVE_MUTEX_INITIALIZER_NP;

constexpr std::size_t kMaxHooks = 8;
std::array<std::atomic<void (*)()>, kMaxHooks> hooks{};
std::atomic<bool> hooks_ran{false};

// FORT0 applies at the first report of the run only.
std::atomic<bool> first_report{true};

// Writes a composed report to the log file and to standard error.
void emit_report(const std::string &report) {
  const std::string bytes = text_mode_bytes(report);
  // FORT0: standard error goes, from the first report on, to the end of
  // the file it names.
  if (first_report.exchange(false)) {
    if (const auto fort0 = variable_value("FORT0")) {
      const int fd = open_for_appending(*fort0);
      if (fd >= 0) {
        ::dup2(fd, STDERR_FILENO);
        ::close(fd);
      }
    }
  }
  if (const auto log = variable_value("FOR_DIAGNOSTIC_LOG_FILE")) {
    const int fd = open_for_appending(*log);
    if (fd >= 0) {
      (void)write_all(fd, bytes); // a failed copy is skipped
      ::close(fd);
    }
  }
  if (!switch_is_on("FOR_DISABLE_DIAGNOSTIC_DISPLAY"))
    (void)write_all(STDERR_FILENO, bytes); // never fails visibly
}

} // namespace

std::string compose_report(int number, std::span<const MessageValue> values) {
  std::string report = format_report_line(number, values);
  report += "\r\n";
  if (!switch_is_on("FOR_DISABLE_STACK_TRACE")) {
    StackWalk walk;
    try {
      walk = walk_stack(1);
    } catch (const std::bad_alloc &) {
      walk.complete = false; // out of memory part way: what was found
    }
    report += format_traceback(walk);
  }
  if (report.size() > kReportBufferSize)
    report.resize(kReportBufferSize);
  return report;
}

std::string text_mode_bytes(const std::string &report) {
  std::string bytes;
  bytes.reserve(report.size() + report.size() / 32);
  for (char c : report) {
    if (c == '\n')
      bytes += '\r';
    bytes += c;
  }
  return bytes;
}

void report_error(int number, std::span<const MessageValue> values) {
  const bool severe = find_message(number).kind == MessageKind::severe;
  if (severe)
    begin_ending();
  const std::string report = compose_report(number, values);
  if (severe)
    run_termination_hooks();
  emit_report(report);
  if (!severe)
    return;
  close_open_units(false);
  std::exit(number);
}

void raise_io_error(const UnitRecord &unit, int number) {
  const MessageValue values[] = {integer_value(unit.number),
                                 text_value(unit.file_name)};
  begin_ending();
  report_error(number, values);
  // A number of the error kind returns from the report: end all the same.
  close_open_units(false);
  std::exit(number);
}

void raise_error(int number) {
  begin_ending();
  report_error(number, {});
  close_open_units(false);
  std::exit(number);
}

int finish_run() {
  begin_ending();
  close_open_units(true);
  return 0;
}

void add_termination_hook(void (*hook)()) {
  for (auto &slot : hooks) {
    void (*empty)() = nullptr;
    if (slot.compare_exchange_strong(empty, hook))
      return;
  }
}

void begin_ending() {
  // Blocks for good when another thread ends the run: that thread ends
  // the process.
  ::pthread_mutex_lock(&ending_lock);
}

void run_termination_hooks() {
  if (hooks_ran.exchange(true))
    return;
  for (auto &slot : hooks)
    if (void (*hook)() = slot.load())
      hook();
}

} // namespace sshsum
