// Terminal sessions: /dev/tty with its modes saved and always restored.
//
// A run can end in four ways while a dialog waits for a line:
//   1. the dialog returns: close_terminal_session restores the modes;
//   2. a fatal error or a console event (Ctrl-C, Ctrl-\, hang-up): those
//      signals are blocked and taken by the run's own signal thread, which
//      reports them and calls the termination hooks; restore_terminal_modes
//      is one of them (registered once per process);
//   3. SIGTERM: a handler installed for the length of the session restores
//      the modes and hands the signal on to the previous disposition, so a
//      default SIGTERM still ends the process by that signal;
//   4. SIGKILL: nothing can run; the shell's own terminal reset is all there
//      is.
// The line editor must not install signal handlers of its own, and ISIG
// stays on so that Ctrl-C still raises SIGINT.

#include "platform/terminal.hpp"

#include "io/errors.hpp"

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace sshsum {
namespace {

// The descriptor of the open session, -1 when none. The saved modes are
// written before the descriptor is published and not changed while it is.
std::atomic<int> session_fd{-1};
struct termios saved_modes;

struct sigaction previous_sigterm;
bool sigterm_handler_installed = false;
bool hook_added = false;

void on_sigterm(int signal_number, siginfo_t *info, void *context) {
  restore_terminal_modes();
  const struct sigaction &previous = previous_sigterm;
  if (previous.sa_flags & SA_SIGINFO) {
    previous.sa_sigaction(signal_number, info, context);
    return;
  }
  if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN) {
    previous.sa_handler(signal_number);
    return;
  }
  // Default action: end the process by this very signal. It is blocked
  // while this handler runs, so it is delivered as the handler returns.
  std::signal(signal_number, SIG_DFL);
  std::raise(signal_number);
}

void install_sigterm_handler() {
  struct sigaction current;
  if (sigaction(SIGTERM, nullptr, &current) != 0 ||
      (!(current.sa_flags & SA_SIGINFO) && current.sa_handler == SIG_IGN))
    return; // an ignored SIGTERM ends nothing
  struct sigaction action = {};
  action.sa_sigaction = on_sigterm;
  action.sa_flags = SA_SIGINFO | SA_RESTART;
  sigemptyset(&action.sa_mask);
  if (sigaction(SIGTERM, &action, &previous_sigterm) == 0)
    sigterm_handler_installed = true;
}

void remove_sigterm_handler() {
  if (sigterm_handler_installed)
    sigaction(SIGTERM, &previous_sigterm, nullptr);
  sigterm_handler_installed = false;
}

} // namespace

void restore_terminal_modes() {
  const int fd = session_fd.load();
  if (fd >= 0)
    tcsetattr(fd, TCSANOW, &saved_modes);
}

bool open_terminal_session(TerminalSession &session) {
  const int fd = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (fd < 0)
    return false;
  const int out_fd = fcntl(fd, F_DUPFD_CLOEXEC, 0);
  if (tcgetattr(fd, &saved_modes) != 0 || out_fd < 0) {
    if (out_fd >= 0)
      close(out_fd);
    close(fd);
    return false;
  }
  std::FILE *input = fdopen(fd, "r");
  std::FILE *output = input ? fdopen(out_fd, "w") : nullptr;
  if (!output) {
    if (input)
      std::fclose(input);
    else
      close(fd);
    close(out_fd);
    return false;
  }
  if (!hook_added) {
    add_termination_hook(restore_terminal_modes);
    hook_added = true;
  }
  session_fd.store(fd);
  install_sigterm_handler();
  session = {fd, input, output};
  return true;
}

void close_terminal_session(TerminalSession &session) {
  if (session.fd < 0)
    return;
  std::fflush(session.output);
  restore_terminal_modes();
  remove_sigterm_handler();
  session_fd.store(-1);
  std::fclose(session.output);
  std::fclose(session.input);
  session = {};
}

} // namespace sshsum
