#pragma once

namespace sshsum {

struct UnitRecord;

// Reports an I/O failure of `unit` with error `number` (message text with the
// unit's number and file name), closes the open units and ends the process
// with `number` as exit status.
[[noreturn]] void raise_io_error(const UnitRecord &unit, int number);

// Reports a failure whose message has no unit (41, "insufficient virtual
// memory") and ends the process the same way.
[[noreturn]] void raise_error(int number);

// The normal end of a run: closes what is still open; returns exit status 0.
int finish_run();

// Registers a function that the termination path calls before the process
// ends (after a fatal error or a console event), e.g. to give the terminal
// back its original settings. At most a few; not for the normal finish.
void add_termination_hook(void (*hook)());

} // namespace sshsum
