#pragma once

// Console events on Linux: the terminal's signals, taken on a thread of
// their own instead of in an asynchronous signal handler.

namespace sshsum {

// Called on the event thread, once per signal taken, with SIGINT, SIGQUIT
// or SIGHUP. It may format, allocate and end the process: it runs as an
// ordinary function, not inside a signal handler.
using SignalEventHandler = void (*)(int signal_number);

// Blocks SIGINT, SIGQUIT and SIGHUP in the calling thread (so in every
// thread created after it, which inherit the mask) and starts a detached
// thread that waits for them with sigwait and hands each to `handler`.
// Call it before any other thread exists: a thread that already runs with
// these signals unblocked would take them itself. A signal that the parent
// process left ignored (a program started under nohup, for instance) stays
// ignored and is not waited for. SIGPIPE is set to be ignored, so that a
// write to a pipe whose reader has gone fails with EPIPE instead of
// killing the process silently. Only the first call does anything.
void start_signal_thread(SignalEventHandler handler);

// For a child process between fork and exec: gives SIGINT, SIGQUIT, SIGHUP
// and SIGPIPE back the mask and action a program expects to start with
// (both survive exec), except a signal the parent of this process left
// ignored, which stays ignored.
void restore_default_signals();

} // namespace sshsum
