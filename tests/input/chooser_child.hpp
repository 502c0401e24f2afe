#pragma once

// Runs the file chooser in a forked child, as the program would run it:
// either scripted (standard input is a pipe holding the typed text, no
// controlling terminal) or interactive (a fresh pseudo-terminal is the
// child's controlling terminal and standard input). The child's standard
// output and standard error go to pipes, so a test can check that the
// dialog wrote nothing there; its results come back through a third pipe.

#include "input/file_chooser.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <poll.h>
#include <pty.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace sshsum::chooser_test {

inline constexpr const char *kTitle =
    "Selecteaza Fisierul de date (\"ssh.dat\")";

// A scratch folder laid out like a run folder:
//   top.dat  other/x.dat  Dat/{ssh.dat a.dat notes.txt README prog.f90
//   sub/b.dat}
struct ScratchFolder {
  std::string root;
  ScratchFolder() {
    char name[] = "/tmp/sshsum-chooser-XXXXXX";
    root = std::filesystem::canonical(mkdtemp(name)).string();
    for (const char *folder : {"/Dat", "/Dat/sub", "/other"})
      std::filesystem::create_directory(root + folder);
    for (const char *file :
         {"/top.dat", "/other/x.dat", "/Dat/ssh.dat", "/Dat/a.dat",
          "/Dat/notes.txt", "/Dat/README", "/Dat/prog.f90", "/Dat/sub/b.dat"})
      std::ofstream(root + file) << "1\n";
  }
  ~ScratchFolder() { std::filesystem::remove_all(root); }
};

// What the child's call of choose_data_file left behind.
struct ChooserResult {
  int result = -1;
  std::array<char, 260> file_name{};
  std::string cwd;
  int status = -1;    // as from waitpid
  std::string screen; // everything written on the terminal
  std::string out, err;
  std::string path() const { return std::string(file_name.data()); }
};

// The child's side: the title field as the run sets it up, a file_name
// field filled with `fill` bytes (to see which bytes the chooser writes),
// the call, and the results on `report_fd`.
inline void call_chooser_and_report(const std::string &start_dir, char fill,
                                    int report_fd) {
  if (chdir(start_dir.c_str()) != 0)
    _exit(120);
  char title[80];
  std::memset(title, ' ', sizeof title);
  std::memcpy(title, kTitle, std::strlen(kTitle) + 1);
  char file_name[260];
  std::memset(file_name, fill, sizeof file_name);
  const int result = choose_data_file(title, file_name);
  char cwd[4096] = {};
  if (!getcwd(cwd, sizeof cwd))
    std::strcpy(cwd, "(unreadable)");
  std::string report(reinterpret_cast<const char *>(&result), sizeof result);
  report.append(file_name, sizeof file_name);
  report += cwd;
  if (write(report_fd, report.data(), report.size()) < 0)
    _exit(121);
}

inline std::string drain(int fd) {
  std::string text;
  char buffer[4096];
  ssize_t count;
  while ((count = read(fd, buffer, sizeof buffer)) > 0)
    text.append(buffer, static_cast<std::size_t>(count));
  return text;
}

// One child process and the parent's ends of its pipes and terminal.
struct ChooserChild {
  pid_t pid = -1;
  int master = -1, slave = -1; // the pseudo-terminal (interactive only)
  int out = -1, err = -1, report = -1;
  struct termios modes_before {};
  std::string screen;
  std::size_t seen = 0; // screen text already matched by expect()

  // Starts `body(report_fd)` in a child. With `terminal`, a new session
  // whose controlling terminal and standard input are a pseudo-terminal;
  // otherwise standard input is a pipe holding `input`, then end of input.
  void start(bool terminal, const std::string &input,
             const std::function<void(int)> &body) {
    int out_pipe[2], err_pipe[2], report_pipe[2], in_pipe[2] = {-1, -1};
    ASSERT_EQ(pipe(out_pipe), 0);
    ASSERT_EQ(pipe(err_pipe), 0);
    ASSERT_EQ(pipe(report_pipe), 0);
    if (terminal) {
      struct winsize size = {24, 80, 0, 0};
      ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, &size), 0);
      ASSERT_EQ(tcgetattr(slave, &modes_before), 0);
    } else {
      ASSERT_EQ(pipe(in_pipe), 0);
    }
    pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      setsid();
      if (terminal) {
        close(master);
        if (ioctl(slave, TIOCSCTTY, 0) != 0)
          _exit(122);
        dup2(slave, STDIN_FILENO);
        close(slave);
      } else {
        dup2(in_pipe[0], STDIN_FILENO);
        close(in_pipe[0]);
        close(in_pipe[1]);
      }
      dup2(out_pipe[1], STDOUT_FILENO);
      dup2(err_pipe[1], STDERR_FILENO);
      close(out_pipe[0]);
      close(err_pipe[0]);
      close(report_pipe[0]);
      setenv("TERM", "dumb", 1);
      body(report_pipe[1]);
      _exit(0);
    }
    close(out_pipe[1]);
    close(err_pipe[1]);
    close(report_pipe[1]);
    out = out_pipe[0];
    err = err_pipe[0];
    report = report_pipe[0];
    if (!terminal) {
      close(in_pipe[0]);
      // The child may stop reading early: a closed pipe is not an error
      // here (the pipe holds 64 KiB, so the write does not wait).
      const auto previous = std::signal(SIGPIPE, SIG_IGN);
      if (write(in_pipe[1], input.data(), input.size()) < 0 && errno != EPIPE)
        ADD_FAILURE() << "cannot feed the chooser's standard input";
      std::signal(SIGPIPE, previous);
      close(in_pipe[1]);
    }
  }

  // Reads the terminal for up to `milliseconds`, appending to `screen`.
  void pump(int milliseconds) {
    if (master < 0)
      return;
    struct pollfd ready = {master, POLLIN, 0};
    if (poll(&ready, 1, milliseconds) > 0 && (ready.revents & POLLIN)) {
      char buffer[4096];
      const ssize_t count = read(master, buffer, sizeof buffer);
      if (count > 0)
        screen.append(buffer, static_cast<std::size_t>(count));
    }
  }

  // Waits until `text` appears on the terminal after what was matched
  // before; false after 10 s.
  bool expect(const std::string &text) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
      const auto at = screen.find(text, seen);
      if (at != std::string::npos) {
        seen = at + text.size();
        return true;
      }
      pump(50);
    }
    return false;
  }

  // Waits for the dialog's prompt and then for the line editor to have the
  // terminal in its own (non-canonical) modes: the prompt can reach the
  // terminal just before the modes change, and keys typed in between are
  // taken by the canonical line discipline (a lone Ctrl-D would be lost).
  bool expect_prompt() {
    if (!expect("File name: "))
      return false;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(10);
    struct termios now;
    while (std::chrono::steady_clock::now() < deadline) {
      if (tcgetattr(slave, &now) == 0 && !(now.c_lflag & ICANON))
        return true;
      pump(5);
    }
    return false;
  }

  void send(const std::string &keys) {
    ASSERT_EQ(write(master, keys.data(), keys.size()),
              static_cast<ssize_t>(keys.size()));
  }

  // Waits for the child (killing it after 10 s) and collects everything.
  ChooserResult finish() {
    ChooserResult result;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (waitpid(pid, &result.status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        kill(pid, SIGKILL);
        waitpid(pid, &result.status, 0);
        ADD_FAILURE() << "the chooser did not end; screen:\n" << screen;
        break;
      }
      pump(20);
    }
    pid = -1;
    pump(0);
    result.screen = screen;
    result.out = drain(out);
    result.err = drain(err);
    const std::string report_text = drain(report);
    if (report_text.size() >= sizeof(int) + 260) {
      std::memcpy(&result.result, report_text.data(), sizeof(int));
      std::memcpy(result.file_name.data(), report_text.data() + sizeof(int),
                  260);
      result.cwd = report_text.substr(sizeof(int) + 260);
    }
    for (int fd : {out, err, report})
      close(fd);
    return result;
  }

  // The terminal's modes now, against those it had before the child ran.
  bool terminal_modes_restored() const {
    struct termios now;
    if (tcgetattr(slave, &now) != 0)
      return false;
    return now.c_iflag == modes_before.c_iflag &&
           now.c_oflag == modes_before.c_oflag &&
           now.c_cflag == modes_before.c_cflag &&
           now.c_lflag == modes_before.c_lflag &&
           std::memcmp(now.c_cc, modes_before.c_cc, sizeof now.c_cc) == 0;
  }

  ~ChooserChild() {
    if (pid > 0) { // a test that stopped early
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
    for (int fd : {master, slave})
      if (fd >= 0)
        close(fd);
  }
};

} // namespace sshsum::chooser_test
