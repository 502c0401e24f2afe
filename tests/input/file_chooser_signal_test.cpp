// Ending the run while the chooser's dialog waits for a line: the terminal
// must get its modes back whichever way the process ends.

#include "chooser_child.hpp"

#include "platform/terminal.hpp"

#include <gtest/gtest.h>

#include <pthread.h>
#include <string>
#include <thread>

namespace sshsum::chooser_test {
namespace {

class ChooserSignals : public ::testing::Test {
protected:
  ScratchFolder scratch;
  ChooserChild child;

  // Waits for the prompt and checks that the dialog's line editor has the
  // terminal in its own modes (else the restore would prove nothing).
  void wait_for_prompt() {
    ASSERT_TRUE(child.expect_prompt()) << child.screen;
    ASSERT_FALSE(child.terminal_modes_restored());
  }
};

// Ctrl-C raises SIGINT, which the run blocks in every thread and takes on a
// signal thread that reports, runs the termination hooks (among them
// restore_terminal_modes) and exits with 130. The child plays that thread.
TEST_F(ChooserSignals, ControlCWhileTheDialogWaitsLeavesTheTerminalRestored) {
  const std::string root = scratch.root;
  child.start(true, "", [root](int report_fd) {
    sigset_t console_events;
    sigemptyset(&console_events);
    sigaddset(&console_events, SIGINT);
    pthread_sigmask(SIG_BLOCK, &console_events, nullptr);
    std::thread([console_events] {
      int event = 0;
      sigwait(&console_events, &event);
      restore_terminal_modes();
      _exit(130);
    }).detach();
    call_chooser_and_report(root, 'Z', report_fd);
  });
  ASSERT_NO_FATAL_FAILURE(wait_for_prompt());
  child.send("\x03");
  const ChooserResult got = child.finish();
  ASSERT_TRUE(WIFEXITED(got.status));
  EXPECT_EQ(WEXITSTATUS(got.status), 130);
  EXPECT_TRUE(child.terminal_modes_restored());
  EXPECT_EQ(got.out, "");
}

// SIGTERM is not a console event: the dialog's own handler restores the
// terminal and the process still ends by SIGTERM.
TEST_F(ChooserSignals, SigtermWhileTheDialogWaitsLeavesTheTerminalRestored) {
  const std::string root = scratch.root;
  child.start(true, "", [root](int report_fd) {
    call_chooser_and_report(root, 'Z', report_fd);
  });
  ASSERT_NO_FATAL_FAILURE(wait_for_prompt());
  kill(child.pid, SIGTERM);
  const ChooserResult got = child.finish();
  ASSERT_TRUE(WIFSIGNALED(got.status));
  EXPECT_EQ(WTERMSIG(got.status), SIGTERM);
  EXPECT_TRUE(child.terminal_modes_restored());
}

// The whole program: Ctrl-C while its dialog waits gives report 200 on
// standard error, exit status 130, the terminal in its original modes, and
// no "ssh.rez".
TEST_F(ChooserSignals, ControlCInTheProgramsDialogReportsEvent200) {
  const std::string root = scratch.root;
  child.start(true, "", [root](int) {
    if (chdir(root.c_str()) == 0)
      execl(SSHSUM_EXE, SSHSUM_EXE, static_cast<char *>(nullptr));
    _exit(127);
  });
  ASSERT_NO_FATAL_FAILURE(wait_for_prompt());
  child.send("\x03");
  const ChooserResult got = child.finish();
  ASSERT_TRUE(WIFEXITED(got.status));
  EXPECT_EQ(WEXITSTATUS(got.status), 130);
  EXPECT_EQ(
      got.err.rfind(
          "forrtl: error (200): program aborting due to control-C event", 0),
      0u)
      << got.err;
  EXPECT_EQ(got.out, "");
  EXPECT_TRUE(child.terminal_modes_restored());
  EXPECT_FALSE(std::filesystem::exists(root + "/ssh.rez"));
  EXPECT_FALSE(std::filesystem::exists(root + "/Dat/ssh.rez"));
}

} // namespace
} // namespace sshsum::chooser_test
