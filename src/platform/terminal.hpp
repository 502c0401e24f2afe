#pragma once

// The controlling terminal while a dialog runs on it. A dialog talks to the
// user on /dev/tty only, never on standard output or standard error (they
// carry the report and the error reports), and leaves the terminal's modes
// exactly as it found them, whichever way the run ends.

#include <cstdio>

namespace sshsum {

// An open dialog session on the controlling terminal: `input` and `output`
// are stdio streams on two descriptors of /dev/tty; `fd` is the input one.
struct TerminalSession {
  int fd = -1;
  std::FILE *input = nullptr;
  std::FILE *output = nullptr;
};

// Opens /dev/tty and saves its modes. While the session is open the saved
// modes are put back on every way out: close_terminal_session, the
// termination hook (fatal error, console event) and SIGTERM (when it is not
// ignored; the previous disposition is chained). Returns false, and leaves
// nothing open, when the process has no controlling terminal. At most one
// session is open at a time.
bool open_terminal_session(TerminalSession &session);

// Puts the saved modes back, drops the SIGTERM handler and closes both
// streams.
void close_terminal_session(TerminalSession &session);

// Gives the terminal of the open session its saved modes back; does nothing
// when no session is open. Async-signal-safe (one tcsetattr) and callable
// from any thread: it is the termination hook of the dialog.
void restore_terminal_modes();

} // namespace sshsum
