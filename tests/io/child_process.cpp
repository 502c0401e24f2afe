#include "child_process.hpp"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>

namespace sshsum::test {

namespace {
int ready_fd = -1;
}

void child_ready() {
  if (ready_fd >= 0) {
    const char byte = 'r';
    (void)!::write(ready_fd, &byte, 1);
    ::close(ready_fd);
    ready_fd = -1;
  }
}

ChildResult run_in_child(const std::function<void()> &body,
                         const std::function<void(pid_t)> &while_running) {
  int out[2], err[2], ready[2];
  if (::pipe(out) || ::pipe(err) || ::pipe(ready))
    throw std::runtime_error("pipe");
  std::fflush(nullptr); // no buffered output of the test is copied twice
  const pid_t pid = ::fork();
  if (pid < 0)
    throw std::runtime_error("fork");
  if (pid == 0) {
    const int null = ::open("/dev/null", O_RDONLY);
    ::dup2(null, STDIN_FILENO);
    ::dup2(out[1], STDOUT_FILENO);
    ::dup2(err[1], STDERR_FILENO);
    for (int fd : {null, out[0], out[1], err[0], err[1], ready[0]})
      ::close(fd);
    ready_fd = ready[1];
    body();
    ::_exit(0);
  }
  ::close(out[1]);
  ::close(err[1]);
  ::close(ready[1]);
  if (while_running) {
    char byte;
    while (::read(ready[0], &byte, 1) < 0 && errno == EINTR) {
    }
    while_running(pid);
  }
  ::close(ready[0]);

  ChildResult result;
  pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
  std::string *sinks[2] = {&result.out, &result.err};
  int open_pipes = 2;
  while (open_pipes > 0) {
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR)
        continue;
      break;
    }
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0)
        continue;
      char buffer[4096];
      const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        sinks[i]->append(buffer, static_cast<std::size_t>(n));
      } else {
        ::close(fds[i].fd);
        fds[i].fd = -1;
        --open_pipes;
      }
    }
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status))
    result.exit_status = WEXITSTATUS(status);
  if (WIFSIGNALED(status))
    result.signal = WTERMSIG(status);
  return result;
}

TempDir::TempDir() {
  char pattern[] = "/tmp/sshsum-io.XXXXXX";
  if (::mkdtemp(pattern) == nullptr)
    throw std::runtime_error("mkdtemp");
  path = pattern;
  ::chmod(pattern, 0777);
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::permissions(path, std::filesystem::perms::all, ignored);
  std::filesystem::remove_all(path, ignored);
}

std::string read_file(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void write_file(const std::string &path, const std::string &bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

bool file_exists(const std::string &path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

void drop_root() {
  if (::geteuid() != 0)
    return;
  const passwd *nobody = ::getpwnam("nobody");
  const uid_t uid = nobody ? nobody->pw_uid : 65534;
  const gid_t gid = nobody ? nobody->pw_gid : 65534;
  if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
    ::_exit(99);
}

std::string first_line(const std::string &text) {
  const std::size_t end = text.find('\n');
  return end == std::string::npos ? text : text.substr(0, end + 1);
}

std::string expected_header() {
  // "Image", "PC", "Routine", "Line", "Source" in columns of 19, 10, 19,
  // 12 and 19: 79 characters.
  return "Image" + std::string(14, ' ') + "PC" + std::string(8, ' ') +
         "Routine" + std::string(12, ' ') + "Line" + std::string(8, ' ') +
         "Source" + std::string(13, ' ') + "\r\n";
}

std::string check_report_layout(const std::string &err,
                                const std::string &line) {
  const std::string report_line = line + "\r\r\n";
  if (err.compare(0, report_line.size(), report_line) != 0)
    return "report line: " + first_line(err);
  std::size_t at = report_line.size();
  if (err.compare(at, expected_header().size(), expected_header()) != 0)
    return "header: " + err.substr(at, 90);
  at += expected_header().size();
  // image cut to 17, 2 blanks, 8+ hex digits, 2 blanks, "Unknown" in 17,
  // 2 blanks, "Unknown" right-aligned in 10, 2 blanks, "Unknown".
  static const std::regex frame(
      "[^\r\n]{17}  [0-9A-F]{8,}  Unknown {15}Unknown  Unknown\r\n");
  int frames = 0;
  while (at < err.size()) {
    const std::size_t end = err.find('\n', at);
    if (end == std::string::npos)
      return "unterminated: " + err.substr(at);
    const std::string text = err.substr(at, end + 1 - at);
    if (!std::regex_match(text, frame))
      return "frame line: " + text;
    ++frames;
    at = end + 1;
  }
  if (frames == 0)
    return "no frame lines";
  return "";
}

} // namespace sshsum::test
