#include "platform/signals.hpp"

#include <pthread.h>
#include <signal.h>

#include <atomic>

namespace sshsum {

namespace {

struct EventThread {
  SignalEventHandler handler;
  sigset_t waited; // the signals the thread takes, blocked everywhere
};

EventThread event_thread;
std::atomic<bool> started{false};
bool pipe_was_ignored = false;

void *wait_for_signals(void *) {
  for (;;) {
    int signal_number = 0;
    if (::sigwait(&event_thread.waited, &signal_number) == 0)
      event_thread.handler(signal_number);
  }
  return nullptr;
}

bool left_ignored(int signal_number) {
  struct sigaction current {};
  return ::sigaction(signal_number, nullptr, &current) == 0 &&
         current.sa_handler == SIG_IGN;
}

} // namespace

void start_signal_thread(SignalEventHandler handler) {
  if (started.exchange(true))
    return;
  event_thread.handler = handler;
  sigemptyset(&event_thread.waited);
  for (int signal_number : {SIGINT, SIGQUIT, SIGHUP})
    if (!left_ignored(signal_number))
      sigaddset(&event_thread.waited, signal_number);
  // Block first: from here on a signal that arrives stays pending until the
  // event thread takes it, even before that thread runs.
  ::pthread_sigmask(SIG_BLOCK, &event_thread.waited, nullptr);
  pipe_was_ignored = left_ignored(SIGPIPE);
  ::signal(SIGPIPE, SIG_IGN);

  pthread_attr_t attributes;
  ::pthread_attr_init(&attributes);
  ::pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
  pthread_t thread;
  const int created =
      ::pthread_create(&thread, &attributes, wait_for_signals, nullptr);
  ::pthread_attr_destroy(&attributes);
  // Without the event thread nobody would take the blocked signals: give
  // them back their default action rather than make the run uninterruptible.
  if (created != 0)
    ::pthread_sigmask(SIG_UNBLOCK, &event_thread.waited, nullptr);
}

void restore_default_signals() {
  if (!started.load())
    return;
  ::pthread_sigmask(SIG_UNBLOCK, &event_thread.waited, nullptr);
  if (!pipe_was_ignored)
    ::signal(SIGPIPE, SIG_DFL);
}

} // namespace sshsum
