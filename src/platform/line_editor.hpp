#pragma once

// Line input on a dialog's terminal with editing, history and Tab completion
// of file names (relative to the current directory), from libedit when the
// build found it; otherwise the terminal's own line discipline.

#include "platform/terminal.hpp"

#include <string>

namespace sshsum {

struct LineEditor; // opaque: the editor's state

// Starts line editing on `session` with `prompt` before every line. The
// editor never installs signal handlers; its raw mode keeps ISIG, so Ctrl-C
// still raises SIGINT. Returns nullptr when the editor cannot start.
LineEditor *start_line_editor(const TerminalSession &session,
                              const char *prompt);

// Reads one line into `line`, without its line feed. Returns false at end
// of input (Ctrl-D on an empty line, a hang-up, a read error).
bool read_edited_line(LineEditor *editor, std::string &line);

// Ends line editing and frees the editor; the terminal is back in the modes
// it had at start_line_editor.
void end_line_editor(LineEditor *editor);

} // namespace sshsum
