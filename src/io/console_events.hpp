#pragma once

// Console events: control-C, control-BREAK and the closing of the console.
// On Linux they are the terminal's signals: SIGINT (Ctrl-C), SIGQUIT (the
// terminal's Ctrl-\) and SIGHUP (the terminal went away). They are taken on
// a thread of their own, never inside an asynchronous signal handler.

#include <string_view>

namespace sshsum {

enum class ConsoleEvent {
  control_c = 0,
  control_break = 1,
  window_close = 2,
};

// The event's name in report 200: "control-C", "control-BREAK",
// "window-CLOSE".
std::string_view console_event_name(ConsoleEvent event);

// The exit status after the event: 130 for control-C (the shell's status of
// an interrupted program: a run aborted before its report must not look
// successful), 1 for control-BREAK, 2 for window-CLOSE.
int console_event_exit_status(ConsoleEvent event);

// Puts the console-event handling in force for the rest of the process.
// Call it first thing, before stage 1 and before any other thread exists:
// it blocks the three signals in the calling thread, which every later
// thread inherits, and starts the thread that takes them. Signals that
// were left ignored by the parent (nohup) stay ignored. SIGPIPE is
// ignored from here on, so that a write to a closed pipe is error 38.
void install_console_event_handler();

// Ends the run on `event`: runs the termination hooks, writes report 200
// ("forrtl: error (200): program aborting due to control-C event") with
// the traceback of the calling thread, closes the units still open keeping
// what was written, and ends the process with the event's exit status.
[[noreturn]] void on_console_event(ConsoleEvent event);

} // namespace sshsum
