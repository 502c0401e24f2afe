// Units against real files, each case in a forked child that runs the
// units layer as the program does and ends as the program would.
#include "child_process.hpp"
#include "io/console_events.hpp"
#include "io/errors.hpp"
#include "io/units.hpp"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace sshsum {
namespace {

using test::check_report_layout;
using test::ChildResult;
using test::file_exists;
using test::first_line;
using test::read_file;
using test::run_in_child;
using test::TempDir;
using test::write_file;

void enter(const TempDir &dir) {
  if (::chdir(dir.path.c_str()) != 0)
    ::_exit(98);
}

void open_named(int unit, const std::string &name, const char *status) {
  open_unit(unit, name.data(), name.size(), status, "formatted");
}

void write_text(int unit, const std::string &text) {
  write_record(unit, text.data(), text.size());
}

std::string severe(int number, const std::string &rest) {
  return "forrtl: severe (" + std::to_string(number) + "): " + rest;
}

TEST(IoUnits, MissingFileIs29WithTheFullPath) {
  TempDir dir;
  const ChildResult r = run_in_child([&] {
    enter(dir);
    open_named(kDataUnit, "ssh.dat", "old");
  });
  EXPECT_EQ(r.exit_status, 29);
  EXPECT_EQ(
      check_report_layout(r.err, severe(29, "file not found, unit 2, file " +
                                                dir.file("ssh.dat"))),
      "");
  EXPECT_EQ(r.out, "");
  EXPECT_FALSE(file_exists(dir.file("ssh.rez")));
  EXPECT_FALSE(file_exists(dir.file("ssh.dat"))); // "OLD" creates nothing
}

TEST(IoUnits, CancelledDialogIs29WithAnEmptyName) {
  TempDir dir;
  const ChildResult r = run_in_child([&] {
    enter(dir);
    const char file_name[260] = {};
    open_unit(kDataUnit, file_name, sizeof file_name, "OLD", "formatted");
  });
  EXPECT_EQ(r.exit_status, 29);
  EXPECT_EQ(first_line(r.err),
            severe(29, "file not found, unit 2, file \r\r\n"));
  EXPECT_EQ(
      check_report_layout(r.err, severe(29, "file not found, unit 2, file ")),
      "");
}

TEST(IoUnits, OpenFailuresAndTheirNumbers) {
  TempDir dir;
  ::mkdir(dir.file("ssh.rez").c_str(), 0755);
  write_file(dir.file("plain"), "x");
  ::symlink("loop", dir.file("loop").c_str());
  {
    const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, dir.file("sock").c_str());
    ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr *>(&address), sizeof address),
              0);
    ::close(s);
  }
  const std::string long257(257, 'n');
  const std::string component256(256, 'c');
  struct Case {
    std::string name;
    const char *status;
    int number;
    std::string shown; // the file name in the message
  };
  const Case cases[] = {
      {"ssh.rez", "unknown", 9, dir.file("ssh.rez")},          // a folder
      {"ssh.rez", "OLD", 9, dir.file("ssh.rez")},              // also with OLD
      {"plain/ssh.dat", "OLD", 29, dir.file("plain/ssh.dat")}, // ENOTDIR
      {"nofolder/ssh.rez", "unknown", 29, dir.file("nofolder/ssh.rez")},
      {long257, "unknown", 43, long257},           // refused, not cut
      {component256, "unknown", 43, component256}, // ENAMETOOLONG
      {"sock", "OLD", 42, dir.file("sock")},       // ENXIO
      {"loop", "unknown", 30, dir.file("loop")},   // ELOOP
      {"plain", "NEW", 30, dir.file("plain")},     // a status it does not know
  };
  for (const Case &c : cases) {
    const ChildResult r = run_in_child([&] {
      enter(dir);
      open_named(kReportUnit, c.name, c.status);
    });
    static const char *texts[] = {"permission to access file denied",
                                  "file not found",
                                  "file name specification "
                                  "error",
                                  "no such device", "open failure"};
    const char *text = c.number == 9    ? texts[0]
                       : c.number == 29 ? texts[1]
                       : c.number == 43 ? texts[2]
                       : c.number == 42 ? texts[3]
                                        : texts[4];
    EXPECT_EQ(r.exit_status, c.number) << c.name.substr(0, 20);
    EXPECT_EQ(check_report_layout(
                  r.err, severe(c.number, std::string(text) + ", unit 1, " +
                                              "file " + c.shown)),
              "")
        << c.name.substr(0, 20);
  }
  EXPECT_EQ(read_file(dir.file("plain")), "x");
}

rlimit saved_limit;
void restore_file_limit() { ::setrlimit(RLIMIT_NOFILE, &saved_limit); }

TEST(IoUnits, TooManyOpenFilesIs30) {
  TempDir dir;
  const ChildResult r = run_in_child([&] {
    enter(dir);
    // No descriptor left; the exit gets them back (a leak checker needs
    // some).
    ::getrlimit(RLIMIT_NOFILE, &saved_limit);
    add_termination_hook(restore_file_limit);
    const int lowest = ::dup(0);
    ::close(lowest);
    const rlimit limit{static_cast<rlim_t>(lowest), saved_limit.rlim_max};
    ::setrlimit(RLIMIT_NOFILE, &limit);
    open_named(kReportUnit, "ssh.rez", "unknown");
  });
  EXPECT_EQ(r.exit_status, 30) << r.err;
  EXPECT_EQ(first_line(r.err), severe(30, "open failure, unit 1, file " +
                                              dir.file("ssh.rez") + "\r\r\n"));
}

TEST(IoUnits, NoAccessIs9AndReadOnlyReportIs47) {
  TempDir dir;
  write_file(dir.file("locked"), "secret");
  ::chmod(dir.file("locked").c_str(), 0);
  const ChildResult locked = run_in_child([&] {
    test::drop_root();
    enter(dir);
    open_named(kReportUnit, "locked", "unknown");
  });
  EXPECT_EQ(locked.exit_status, 9);
  EXPECT_EQ(first_line(locked.err),
            severe(9, "permission to access file denied, unit 1, file " +
                          dir.file("locked") + "\r\r\n"));

  // A read-only "ssh.rez": the open succeeds read-only, the console gets its
  // record, the first write to unit 1 is 47 and the file is left as it was.
  write_file(dir.file("ssh.rez"), "old report\r\n");
  ::chmod(dir.file("ssh.rez").c_str(), 0444);
  const ChildResult r = run_in_child([&] {
    test::drop_root();
    enter(dir);
    open_named(kReportUnit, "ssh.rez", "unknown");
    if (!find_unit(kReportUnit)->read_only)
      ::_exit(97);
    write_text(kConsoleUnit, "Date Extreme:");
    write_text(kReportUnit, "Date Extreme:");
  });
  EXPECT_EQ(r.exit_status, 47);
  EXPECT_EQ(r.out, "Date Extreme:\r\n");
  EXPECT_EQ(
      check_report_layout(r.err, severe(47, "write to READONLY file, unit 1, "
                                            "file " +
                                                dir.file("ssh.rez"))),
      "");
  EXPECT_EQ(read_file(dir.file("ssh.rez")), "old report\r\n");
}

TEST(IoUnits, ReadOnlyDataFilesAreRead) {
  TempDir dir;
  write_file(dir.file("ssh.dat"), "1.0 2.0\n");
  ::chmod(dir.file("ssh.dat").c_str(), 0444);
  // A data file without write permission, opened by an ordinary user.
  const ChildResult r = run_in_child([&] {
    test::drop_root();
    enter(dir);
    UnitRecord &unit = open_unit(kDataUnit, "ssh.dat", 7, "OLD", "formatted");
    char buffer[64];
    const long n = read_unit(unit, buffer, sizeof buffer);
    const std::string text(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
    const bool ok = unit.read_only && text == "1.0 2.0\n" &&
                    read_unit(unit, buffer, sizeof buffer) == 0;
    close_unit(kDataUnit);
    ::_exit(ok ? 0 : 1);
  });
  EXPECT_EQ(r.exit_status, 0) << r.err;

  // A running program's file cannot be opened for writing (ETXTBSY), even
  // by root: the unit is read-only and reads it.
  const ChildResult busy = run_in_child([] {
    const char *self = "/proc/self/exe";
    UnitRecord &unit =
        open_unit(kDataUnit, self, std::strlen(self), "old", "formatted");
    char head[4] = {};
    const bool ok = read_unit(unit, head, 4) == 4 && std::memcmp(head,
                                                                 "\x7f"
                                                                 "ELF",
                                                                 4) == 0;
    ::_exit(ok && unit.read_only ? 0 : 1);
  });
  EXPECT_EQ(busy.exit_status, 0) << busy.err;
}

TEST(IoUnits, FirstWriteCutsALongerFile) {
  TempDir dir;
  const std::string old(10000, 'o');
  write_file(dir.file("ssh.rez"), old);
  write_file(dir.file("ssh.dat"), old);
  const ChildResult r = run_in_child([&] {
    enter(dir);
    open_named(kDataUnit, "ssh.dat", "OLD");
    close_unit(kDataUnit);
    open_named(kReportUnit, "ssh.rez", "unknown");
    // Opening alone changes nothing.
    if (test::read_file("ssh.rez").size() != 10000)
      ::_exit(96);
    write_text(kReportUnit, "Date Extreme:");
    if (test::read_file("ssh.rez") != "Date Extreme:\r\n")
      ::_exit(95);
    write_text(kReportUnit, "");
    write_text(kReportUnit, " ");
    close_unit(kReportUnit);
    ::_exit(finish_run());
  });
  EXPECT_EQ(r.exit_status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(read_file(dir.file("ssh.rez")), "Date Extreme:\r\n\r\n \r\n");
  EXPECT_EQ(read_file(dir.file("ssh.dat")), old); // a read unit is never cut

  // A missing file exists, empty, from its open on.
  const ChildResult fresh = run_in_child([&] {
    enter(dir);
    open_named(kReportUnit, "new.rez", "UNKNOWN  ");
    ::_exit(file_exists("new.rez") ? 0 : 1);
  });
  EXPECT_EQ(fresh.exit_status, 0);
  EXPECT_EQ(read_file(dir.file("new.rez")), "");
}

TEST(IoUnits, PipesAreNeverCut) {
  TempDir dir;
  ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0666), 0);
  const ChildResult r = run_in_child([&] {
    enter(dir);
    const int reader = ::open("fifo", O_RDONLY | O_NONBLOCK);
    open_named(kReportUnit, "fifo", "unknown");
    write_text(kReportUnit, "abc");
    write_text(kConsoleUnit, "on stdout");
    char buffer[16];
    const ssize_t n = ::read(reader, buffer, sizeof buffer);
    ::_exit(n == 5 && std::memcmp(buffer, "abc\r\n", 5) == 0 ? 0 : 1);
  });
  // A cut (ftruncate) of a pipe would fail and end the run with 38.
  EXPECT_EQ(r.exit_status, 0) << r.err;
  EXPECT_EQ(r.out, "on stdout\r\n"); // the console on a pipe is not cut
}

TEST(IoUnits, WriteFailuresAre38) {
  TempDir dir;
  const ChildResult full = run_in_child([] {
    const int fd = ::open("/dev/full", O_WRONLY);
    ::dup2(fd, STDOUT_FILENO);
    write_text(kConsoleUnit, "Date Extreme:");
  });
  EXPECT_EQ(full.exit_status, 38);
  EXPECT_EQ(check_report_layout(full.err,
                                severe(38, "error during write, unit -1, file "
                                           "CONOUT$")),
            "");

  const ChildResult device = run_in_child([] {
    open_named(kReportUnit, "/dev/full", "unknown");
    write_text(kReportUnit, "Date Extreme:");
  });
  EXPECT_EQ(device.exit_status, 38);
  EXPECT_EQ(first_line(device.err),
            severe(38, "error during write, unit 1, file /dev/full\r\r\n"));

  // Standard output on a pipe whose reader has gone: an error, not a
  // silent death by SIGPIPE.
  const ChildResult broken = run_in_child([] {
    install_console_event_handler();
    int ends[2];
    if (::pipe(ends) != 0)
      ::_exit(90);
    ::close(ends[0]);
    ::dup2(ends[1], STDOUT_FILENO);
    write_text(kConsoleUnit, "Date Extreme:");
  });
  EXPECT_EQ(broken.signal, 0);
  EXPECT_EQ(broken.exit_status, 38);
  EXPECT_EQ(first_line(broken.err),
            severe(38, "error during write, unit -1, file CONOUT$\r\r\n"));

  // A write to a unit nobody opened.
  const ChildResult unopened = run_in_child([] { write_text(7, "x"); });
  EXPECT_EQ(unopened.exit_status, 38);
  EXPECT_EQ(first_line(unopened.err),
            severe(38, "error during write, unit 7, file \r\r\n"));
}

TEST(IoUnits, FailedCloseIs28) {
  TempDir dir;
  const ChildResult r = run_in_child([&] {
    enter(dir);
    UnitRecord &unit =
        open_unit(kReportUnit, "ssh.rez", 7, "unknown", "formatted");
    ::close(unit.fd); // the descriptor goes behind the unit's back
    close_unit(kReportUnit);
  });
  EXPECT_EQ(r.exit_status, 28);
  EXPECT_EQ(check_report_layout(r.err, severe(28, "CLOSE error, unit 1, file " +
                                                      dir.file("ssh.rez"))),
            "");
  EXPECT_TRUE(file_exists(dir.file("ssh.rez"))); // closing never deletes
}

TEST(IoUnits, AFailedRunKeepsEveryRecordWritten) {
  TempDir dir;
  const ChildResult r = run_in_child([&] {
    enter(dir);
    open_named(kReportUnit, "ssh.rez", "unknown");
    write_text(kConsoleUnit, "Date Extreme:");
    write_text(kReportUnit, "Date Extreme:");
    write_text(kReportUnit, " ssh_min = 1");
    open_named(kDataUnit, "ssh.dat", "old"); // missing
  });
  EXPECT_EQ(r.exit_status, 29);
  EXPECT_EQ(r.out, "Date Extreme:\r\n");
  EXPECT_EQ(read_file(dir.file("ssh.rez")),
            "Date Extreme:\r\n ssh_min = 1\r\n");
}

TEST(IoUnits, ReopenedUnitStartsAfreshInTheCurrentFolder) {
  TempDir dir;
  ::mkdir(dir.file("Dat").c_str(), 0777);
  write_file(dir.file("Dat/ssh.dat"), "chosen\n");
  write_file(dir.file("ssh.dat"), "second\n");
  const ChildResult r = run_in_child([&] {
    enter(dir);
    if (::chdir("Dat") != 0)
      ::_exit(91);
    // The dialog's buffer: the path, a NUL and zeros.
    char file_name[260] = {};
    std::strcpy(file_name, "  ssh.dat");
    UnitRecord &first =
        open_unit(kDataUnit, file_name, sizeof file_name, "OLD", "formatted");
    char buffer[16];
    std::string text(buffer, read_unit(first, buffer, 3));
    const std::string first_name = first.file_name;
    close_unit(kDataUnit);
    if (::chdir("..") != 0)
      ::_exit(92);
    UnitRecord &second = open_unit(kDataUnit, "ssh.dat", 7, "old", "FORMATTED");
    text += std::string(buffer, read_unit(second, buffer, sizeof buffer));
    text += first_name + "|" + second.file_name;
    write_text(kConsoleUnit, text);
    ::_exit(0);
  });
  EXPECT_EQ(r.exit_status, 0) << r.err;
  EXPECT_EQ(r.out, "chosecond\n" + dir.file("Dat/ssh.dat") + "|" +
                       dir.file("ssh.dat") + "\r\n");
}

TEST(IoUnits, RecordTerminatorsFollowTheEnvironment) {
  TempDir dir;
  struct Case {
    const char *setting;
    const char *console;
    const char *file;
  };
  const Case cases[] = {
      {nullptr, "a\r\n", "a\r\n"},
      {"LF", "a\n", "a\n"},
      {"cr:1", "a\r\n", "a\r"},
      {"LF:-1", "a\n", "a\r\n"},
  };
  for (const Case &c : cases) {
    const ChildResult r = run_in_child([&] {
      enter(dir);
      if (c.setting)
        ::setenv("FOR_FMT_TERMINATOR", c.setting, 1);
      open_named(kReportUnit, "ssh.rez", "unknown");
      write_text(kConsoleUnit, "a");
      write_text(kReportUnit, "a");
      ::_exit(0);
    });
    EXPECT_EQ(r.out, c.console) << (c.setting ? c.setting : "unset");
    EXPECT_EQ(read_file(dir.file("ssh.rez")), c.file)
        << (c.setting ? c.setting : "unset");
  }
}

TEST(IoUnits, ForPrintSendsTheConsoleToAFile) {
  TempDir dir;
  write_file(dir.file("console.txt"), std::string(500, 'o'));
  const ChildResult r = run_in_child([&] {
    enter(dir);
    ::setenv("FOR_PRINT", "console.txt", 1);
    write_text(kConsoleUnit, "Date Extreme:");
    write_text(kConsoleUnit, " ssh_min =");
    ::_exit(finish_run());
  });
  EXPECT_EQ(r.exit_status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(read_file(dir.file("console.txt")),
            "Date Extreme:\r\n ssh_min =\r\n");

  const ChildResult missing_folder = run_in_child([&] {
    enter(dir);
    ::setenv("FOR_PRINT", "no/such/file", 1);
    write_text(kConsoleUnit, "x");
  });
  EXPECT_EQ(missing_folder.exit_status, 29);
  EXPECT_EQ(first_line(missing_folder.err),
            severe(29, "file not found, unit -1, file " +
                           dir.file("no/such/file") + "\r\r\n"));
}

} // namespace
} // namespace sshsum
