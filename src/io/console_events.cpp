#include "io/console_events.hpp"

#include "io/errors.hpp"
#include "io/units.hpp"
#include "platform/signals.hpp"
#include "platform/stack_walk.hpp"

#include <signal.h>
#include <unistd.h>

namespace sshsum {

namespace {

void on_signal(int signal_number) {
  switch (signal_number) {
  case SIGINT:
    on_console_event(ConsoleEvent::control_c);
  case SIGQUIT:
    on_console_event(ConsoleEvent::control_break);
  case SIGHUP:
    on_console_event(ConsoleEvent::window_close);
  default:
    return;
  }
}

} // namespace

std::string_view console_event_name(ConsoleEvent event) {
  switch (event) {
  case ConsoleEvent::control_c:
    return "control-C";
  case ConsoleEvent::control_break:
    return "control-BREAK";
  case ConsoleEvent::window_close:
    return "window-CLOSE";
  }
  return "unknown";
}

int console_event_exit_status(ConsoleEvent event) {
  switch (event) {
  case ConsoleEvent::control_c:
    return 130;
  case ConsoleEvent::control_break:
    return 1;
  case ConsoleEvent::window_close:
    return 2;
  }
  return 1;
}

void install_console_event_handler() {
  prepare_stack_walk();
  start_signal_thread(on_signal);
}

void on_console_event(ConsoleEvent event) {
  // The main thread goes on meanwhile; if it is already ending the run
  // (a fatal error, the normal finish), this waits for it to end.
  begin_ending();
  run_termination_hooks();
  const MessageValue values[] = {text_value(console_event_name(event))};
  report_error(200, values);
  close_open_units(false);
  // Not exit(): the main thread may be anywhere, even inside the C
  // library's stream locks; the units hold nothing back.
  ::_exit(console_event_exit_status(event));
}

} // namespace sshsum
