// Minimal unit layer; the full rules (name forming, read-only fallback,
// truncate-on-first-write, error mapping) replace it.
#include "io/units.hpp"

#include "io/errors.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <map>
#include <string>

namespace sshsum {
namespace {
std::map<int, UnitRecord> &units() {
  static std::map<int, UnitRecord> table;
  return table;
}
} // namespace

UnitRecord &open_unit(int number, const char *name, std::size_t length,
                      const char *status, const char *) {
  UnitRecord &u = units()[number];
  u = UnitRecord{};
  u.number = number;
  u.file_name.assign(name, strnlen(name, length));
  const bool old = status[0] == 'o' || status[0] == 'O';
  u.fd = ::open(u.file_name.c_str(), O_RDWR | (old ? 0 : O_CREAT), 0666);
  if (u.fd < 0)
    raise_io_error(u, 29);
  u.connected = true;
  return u;
}

void close_unit(int number) {
  UnitRecord &u = units()[number];
  ::close(u.fd);
  u = UnitRecord{};
}

void write_record(int number, const char *bytes, std::size_t length) {
  std::string record(bytes, length);
  record += "\r\n";
  const int fd = number == kConsoleUnit ? 1 : units()[number].fd;
  if (::write(fd, record.data(), record.size()) !=
      static_cast<ssize_t>(record.size()))
    raise_io_error(units()[number], 38);
}

long read_unit(UnitRecord &unit, char *buffer, std::size_t capacity) {
  return static_cast<long>(::read(unit.fd, buffer, capacity));
}

} // namespace sshsum
