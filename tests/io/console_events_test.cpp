// Console events: the terminal's signals sent to a running child.
#include "child_process.hpp"
#include "io/console_events.hpp"
#include "io/errors.hpp"
#include "io/units.hpp"
#include "platform/signals.hpp"

#include <sys/wait.h>

#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

namespace sshsum {
namespace {

using test::check_report_layout;
using test::ChildResult;
using test::read_file;
using test::run_in_child;
using test::TempDir;

void hook_writes_to_stdout() {
  const char text[] = "terminal restored\n";
  (void)!::write(STDOUT_FILENO, text, sizeof text - 1);
}

// The child as the program is while the chooser waits for the terminal:
// the handler installed, a hook registered, "ssh.rez" open with a record,
// the main thread blocked in a read that never returns.
void run_until_signalled(const TempDir &dir, int ignored_signal) {
  if (ignored_signal)
    ::signal(ignored_signal, SIG_IGN);
  install_console_event_handler();
  add_termination_hook(hook_writes_to_stdout);
  if (::chdir(dir.path.c_str()) != 0)
    ::_exit(98);
  open_unit(kReportUnit, "ssh.rez", 7, "unknown", "formatted");
  write_record(kReportUnit, "Date Extreme:", 13);
  int never[2];
  if (::pipe(never) != 0)
    ::_exit(97);
  test::child_ready();
  char byte;
  (void)!::read(never[0], &byte, 1);
  ::_exit(96);
}

TEST(IoConsoleEvents, EachSignalReportsAndEndsWithItsStatus) {
  struct Case {
    int signal_number;
    const char *event;
    int status;
  };
  const Case cases[] = {
      {SIGINT, "control-C", 130},
      {SIGQUIT, "control-BREAK", 1},
      {SIGHUP, "window-CLOSE", 2},
  };
  for (const Case &c : cases) {
    TempDir dir;
    const ChildResult r =
        run_in_child([&] { run_until_signalled(dir, 0); },
                     [&](pid_t pid) { ::kill(pid, c.signal_number); });
    EXPECT_EQ(r.signal, 0) << c.event;
    EXPECT_EQ(r.exit_status, c.status) << c.event;
    EXPECT_EQ(
        check_report_layout(r.err, std::string("forrtl: error (200): program "
                                               "aborting due to ") +
                                       c.event + " event"),
        "")
        << c.event;
    EXPECT_EQ(r.out, "terminal restored\n") << c.event;
    EXPECT_EQ(read_file(dir.file("ssh.rez")), "Date Extreme:\r\n") << c.event;
  }
}

TEST(IoConsoleEvents, SignalIgnoredByTheParentStaysIgnored) {
  TempDir dir;
  const ChildResult r =
      run_in_child([&] { run_until_signalled(dir, SIGHUP); },
                   [&](pid_t pid) {
                     ::kill(pid, SIGHUP); // as under nohup: no effect
                     ::usleep(100000);
                     ::kill(pid, SIGINT);
                   });
  EXPECT_EQ(r.exit_status, 130);
  EXPECT_EQ(test::first_line(r.err),
            "forrtl: error (200): program aborting due to control-C "
            "event\r\r\n");
}

TEST(IoConsoleEvents, ProgramsStartedLaterGetTheDefaultSignals) {
  // A process forked to run another program (as a file chooser may do)
  // gives the signals back before exec: control-C then ends it at once.
  const ChildResult r = run_in_child([] {
    install_console_event_handler();
    const pid_t pid = ::fork();
    if (pid == 0) {
      restore_default_signals();
      ::raise(SIGINT);
      ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::_exit(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT ? 0 : 1);
  });
  EXPECT_EQ(r.exit_status, 0) << r.err;
}

TEST(IoConsoleEvents, EventStatusesAndNames) {
  EXPECT_EQ(console_event_exit_status(ConsoleEvent::control_c), 130);
  EXPECT_EQ(console_event_exit_status(ConsoleEvent::control_break), 1);
  EXPECT_EQ(console_event_exit_status(ConsoleEvent::window_close), 2);
  EXPECT_EQ(console_event_name(ConsoleEvent::window_close), "window-CLOSE");
}

} // namespace
} // namespace sshsum
