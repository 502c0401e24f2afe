#pragma once

// How a run ends: normally (finish_run), with a fatal error report, or on a
// console event. A run ends exactly once: the first of these to begin
// holds the ending, and any other thread that tries to end the run as well
// waits until the process is gone.
//
// An error report is one line, "forrtl: severe (N): " or "forrtl: error
// (N): " followed by the message text, then a traceback of the reporting
// thread, written with one write to standard error. Lines end as text-mode
// output: the report line in CR CR LF, the traceback lines in CR LF. The
// report is composed in a buffer of kReportBufferSize bytes and cut off
// there. Environment switches, read at each report:
//   FOR_DISABLE_STACK_TRACE         on: the report is the single line;
//   FOR_DIAGNOSTIC_LOG_FILE=FILE    the report is appended to FILE too
//                                   (created when missing; skipped when it
//                                   cannot be opened);
//   FOR_DISABLE_DIAGNOSTIC_DISPLAY  on: nothing goes to standard error;
//   FORT0=FILE                      at the first report, standard error is
//                                   reopened for appending to FILE;
//   FOR_NOERROR_DIALOGS             accepted; Linux shows no error boxes of
//                                   its own, so there is nothing to turn
//                                   off.
// A switch is on as switch_value_is_on says (io/environment.hpp).

#include "io/message_table.hpp"

#include <cstddef>
#include <span>
#include <string>

namespace sshsum {

struct UnitRecord;

inline constexpr std::size_t kReportBufferSize = 16384;

// Composes the report of `number` with its placeholder values: the report
// line, and the traceback unless FOR_DISABLE_STACK_TRACE is on, with the
// line ends as they are before the text-mode translation (the report line
// ends in CR LF, traceback lines in LF), cut at kReportBufferSize bytes.
std::string compose_report(int number, std::span<const MessageValue> values);

// The bytes that reach standard error and the log file for a composed
// report: every LF becomes CR LF.
std::string text_mode_bytes(const std::string &report);

// Composes and writes the report of `number`. A severe message (kind 4)
// ends the run: termination hooks run, the report is written, the units
// still open are closed keeping what was written, and the process exits
// with `number` as status. A kind-3 message returns after writing.
void report_error(int number, std::span<const MessageValue> values);

// Reports an I/O failure of `unit` with error `number` (message text with the
// unit's number and file name), closes the open units and ends the process
// with `number` as exit status.
[[noreturn]] void raise_io_error(const UnitRecord &unit, int number);

// Reports a failure whose message has no unit (41, "insufficient virtual
// memory") and ends the process the same way.
[[noreturn]] void raise_error(int number);

// The normal end of a run: closes what is still open (a close that fails is
// error 28, reported like any I/O error); returns exit status 0.
int finish_run();

// Registers a function that the termination path calls before the process
// ends (after a fatal error or a console event), e.g. to give the terminal
// back its original settings. At most a few; not for the normal finish.
void add_termination_hook(void (*hook)());

// Claims the end of the run for the calling thread. Returns at once when
// the run is not ending yet or this thread already ends it; otherwise the
// caller waits until the other thread has ended the process.
void begin_ending();

// Runs the registered termination hooks, once per process.
void run_termination_hooks();

} // namespace sshsum
