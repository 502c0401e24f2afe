#pragma once

// Runs a piece of the program in a forked child, the way the program itself
// runs: standard input on /dev/null, standard output and standard error on
// pipes that the test reads, and the exit status as the process ends it.

#include <functional>
#include <string>
#include <sys/types.h>

namespace sshsum::test {

struct ChildResult {
  int exit_status = -1; // -1 when the child was killed by a signal
  int signal = 0;       // the signal that killed it, or 0
  std::string out;      // everything the child wrote to standard output
  std::string err;      // everything the child wrote to standard error
};

// Forks; the child runs `body` and ends with status 0 if the body returns.
// With `while_running`, the parent waits until the child calls
// child_ready(), then calls it with the child's pid.
ChildResult run_in_child(const std::function<void()> &body,
                         const std::function<void(pid_t)> &while_running = {});

// In the child: tells the parent that the child is ready.
void child_ready();

// A fresh folder under /tmp, writable by everyone (so that a child that
// gave up root can still create files in it), removed with its contents.
struct TempDir {
  TempDir();
  ~TempDir();
  TempDir(const TempDir &) = delete;
  TempDir &operator=(const TempDir &) = delete;
  std::string path;
  std::string file(const std::string &name) const { return path + "/" + name; }
};

std::string read_file(const std::string &path);
void write_file(const std::string &path, const std::string &bytes);
bool file_exists(const std::string &path);

// In the child: gives up root for the unprivileged user "nobody", so that
// file modes apply (root may open any file for writing). Does nothing when
// not running as root.
void drop_root();

// The first line of a text, with its line end.
std::string first_line(const std::string &text);

// The traceback header line as it reaches standard error.
std::string expected_header();

// Checks the layout of a report: the report line `line` (without its line
// end) ending in CR CR LF, the header, at least one frame line, every frame
// line in the fixed columns ending in CR LF, nothing else after them.
// Returns an empty string when the layout holds, else what is wrong.
std::string check_report_layout(const std::string &err,
                                const std::string &line);

} // namespace sshsum::test
