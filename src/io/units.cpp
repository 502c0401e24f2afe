// Units: numbered connections to files and to standard output.
//
// Every record goes to the system in one write, right when it is complete:
// nothing is buffered between records, so closing a unit only releases its
// descriptor. The table is shared with the console-event thread, which
// closes the units when it ends the run; the lock is held only while the
// table changes, never across a system call that may block.
#include "io/units.hpp"

#include "io/errors.hpp"
#include "io/file_names.hpp"
#include "io/terminators.hpp"
#include "platform/file_system.hpp"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <mutex>
#include <vector>

namespace sshsum {

namespace {

std::mutex &table_lock() {
  static std::mutex lock;
  return lock;
}

// Entries are never erased, so references handed out stay valid.
std::map<int, UnitRecord> &table() {
  static auto *units = new std::map<int, UnitRecord>;
  return *units;
}

[[noreturn]] void fail_open(int number, const std::string &name, int error) {
  UnitRecord failed;
  failed.number = number;
  failed.file_name = name;
  raise_io_error(failed, error);
}

// The console unit's connection: standard output, or the file FOR_PRINT
// names. Made at the first write, outside the table lock (a failed open
// ends the run, and the ending closes the units through the table).
UnitRecord connect_console() {
  UnitRecord console;
  console.number = kConsoleUnit;
  console.terminator = record_terminator(kConsoleUnit);
  const char *print_file = std::getenv("FOR_PRINT");
  if (print_file != nullptr && *print_file != '\0') {
    const FormedName formed =
        form_file_name(print_file, std::char_traits<char>::length(print_file));
    if (formed.too_long)
      fail_open(kConsoleUnit, formed.name, 43);
    const std::string path = full_path_name(formed.name);
    const OpenedFile file = open_file_for_writing(path);
    if (file.fd < 0)
      fail_open(kConsoleUnit, path, open_error_number(file.error));
    console.file_name = path;
    console.fd = file.fd;
    console.disk_file = file.disk_file;
    console.truncate_on_first_write = file.disk_file;
  } else {
    console.file_name = kConsoleName;
    console.fd = STDOUT_FILENO;
    struct stat st {};
    console.disk_file = ::fstat(STDOUT_FILENO, &st) == 0 && S_ISREG(st.st_mode);
  }
  console.connected = true;
  return console;
}

} // namespace

UnitRecord &open_unit(int number, const char *name, std::size_t length,
                      const char *status, const char *form) {
  // A unit that is still connected is closed first.
  close_unit(number);

  // 1. The name: trimmed, then made a full path against the current
  //    directory of this moment.
  const FormedName formed = form_file_name(name, length);
  if (formed.too_long)
    fail_open(number, formed.name, 43);
  const std::string path = full_path_name(formed.name);

  // 2. The keywords: "OLD" must exist, "UNKNOWN" is created when missing.
  const std::string status_value = keyword_value(status);
  const std::string form_value = keyword_value(form);
  const bool create = status_value == "UNKNOWN";
  if ((!create && status_value != "OLD") || form_value != "FORMATTED")
    fail_open(number, path, 30);

  // 3. Read-write, falling back to read-only when access is refused.
  const OpenedFile file = open_file(path, create);
  if (file.fd < 0)
    fail_open(number, path, open_error_number(file.error));

  // 4. Connected: a disk file is cut after the first record written.
  std::lock_guard<std::mutex> guard(table_lock());
  UnitRecord &unit = table()[number];
  unit = UnitRecord{};
  unit.number = number;
  unit.file_name = path;
  unit.fd = file.fd;
  unit.read_only = file.read_only;
  unit.disk_file = file.disk_file;
  unit.truncate_on_first_write = file.disk_file;
  unit.terminator = record_terminator(number);
  unit.connected = true;
  return unit;
}

void close_unit(int number) {
  UnitRecord closing;
  {
    std::lock_guard<std::mutex> guard(table_lock());
    auto found = table().find(number);
    if (found == table().end() || !found->second.connected)
      return;
    closing = found->second;
    found->second.connected = false;
    found->second.fd = -1;
  }
  // Standard output stays open for the exit procedures; only the unit
  // lets go of it.
  if (closing.number == kConsoleUnit && closing.fd == STDOUT_FILENO)
    return;
  // On Linux the descriptor is released even when close reports EINTR.
  if (::close(closing.fd) != 0 && errno != EINTR)
    raise_io_error(closing, 28);
}

void write_record(int number, const char *bytes, std::size_t length) {
  if (number == kConsoleUnit && find_unit(kConsoleUnit) == nullptr) {
    UnitRecord console = connect_console();
    std::lock_guard<std::mutex> guard(table_lock());
    table()[kConsoleUnit] = std::move(console);
  }
  UnitRecord unit;
  {
    std::lock_guard<std::mutex> guard(table_lock());
    UnitRecord &entry = table()[number];
    unit = entry;
    // The first record claims the cut, so it happens once.
    entry.truncate_on_first_write = false;
  }
  if (!unit.connected) {
    unit.number = number;
    raise_io_error(unit, 38);
  }
  if (unit.read_only)
    raise_io_error(unit, 47);

  std::string record(bytes, length);
  record += unit.terminator;
  if (!write_all(unit.fd, record))
    raise_io_error(unit, 38);

  // Truncate on first write: the file ends right after this record.
  if (unit.truncate_on_first_write) {
    const off_t end = ::lseek(unit.fd, 0, SEEK_CUR);
    if (end < 0 || ::ftruncate(unit.fd, end) != 0)
      raise_io_error(unit, 38);
  }
}

long read_unit(UnitRecord &unit, char *buffer, std::size_t capacity) {
  for (;;) {
    const ssize_t n = ::read(unit.fd, buffer, capacity);
    if (n >= 0)
      return static_cast<long>(n);
    if (errno != EINTR)
      return -1;
  }
}

const UnitRecord *find_unit(int number) {
  std::lock_guard<std::mutex> guard(table_lock());
  auto found = table().find(number);
  if (found == table().end() || !found->second.connected)
    return nullptr;
  return &found->second;
}

void close_open_units(bool report_failures) {
  if (report_failures) {
    std::vector<int> open;
    {
      std::lock_guard<std::mutex> guard(table_lock());
      for (const auto &[number, unit] : table())
        if (unit.connected)
          open.push_back(number);
    }
    for (int number : open)
      close_unit(number);
    return;
  }
  // The run is ending, perhaps on the console-event thread while the main
  // thread is inside a unit operation: never wait for the table.
  std::unique_lock<std::mutex> guard(table_lock(), std::try_to_lock);
  if (!guard.owns_lock())
    return;
  for (auto &[number, unit] : table()) {
    if (!unit.connected)
      continue;
    if (!(number == kConsoleUnit && unit.fd == STDOUT_FILENO))
      ::close(unit.fd);
    unit.connected = false;
  }
}

} // namespace sshsum
