#include "io/traceback.hpp"

#include <cstdio>

namespace sshsum {

std::string traceback_header() {
  char line[128];
  std::snprintf(line, sizeof line, "%-19s%-10s%-19s%-12s%-19s\n", "Image", "PC",
                "Routine", "Line", "Source");
  return line;
}

std::string traceback_line(const StackFrame &frame) {
  char line[128];
  std::snprintf(line, sizeof line, "%-17.17s  %08llX  %-17s  %10s  %s\n",
                frame.module.c_str(),
                static_cast<unsigned long long>(frame.address), "Unknown",
                "Unknown", "Unknown");
  return line;
}

std::string format_traceback(const StackWalk &walk) {
  std::string text = traceback_header();
  for (const StackFrame &frame : walk.frames)
    text += traceback_line(frame);
  if (!walk.complete)
    text += "\nStack trace terminated abnormally.\n";
  return text;
}

} // namespace sshsum
