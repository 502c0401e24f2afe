#pragma once

// The traceback of an error report: the active calls of the reporting
// thread, innermost first, in fixed columns.

#include "platform/stack_walk.hpp"

#include <string>

namespace sshsum {

// The header line: "Image", "PC", "Routine", "Line" and "Source"
// left-aligned in columns of 19, 10, 19, 12 and 19 characters (79 in all,
// trailing blanks kept), then a line feed.
std::string traceback_header();

// One frame line: the module's file name left-aligned and cut to 17
// characters, 2 blanks, the address (relative to the module) as 8 or more
// upper-case hexadecimal digits, 2 blanks, the routine "Unknown"
// left-aligned in 17, 2 blanks, the line "Unknown" right-aligned in 10,
// 2 blanks, the source "Unknown", a line feed. The program carries no
// symbol or line information, hence the three "Unknown" columns.
std::string traceback_line(const StackFrame &frame);

// The whole traceback: header, one line per frame, and when the walk did
// not reach the outermost frame an empty line and "Stack trace terminated
// abnormally." on a line of its own.
std::string format_traceback(const StackWalk &walk);

} // namespace sshsum
