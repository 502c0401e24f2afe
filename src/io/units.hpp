#pragma once

#include <cstddef>
#include <string>

namespace sshsum {

// Unit numbers. The console unit is standard output; it is connected by its
// first write and named "CONOUT$" in messages.
inline constexpr int kConsoleUnit = -1;
inline constexpr int kReportUnit = 1; // "ssh.rez"
inline constexpr int kDataUnit = 2;   // the data file, then "ssh.dat"

// One connected unit.
struct UnitRecord {
  int number = 0;
  std::string file_name; // the name formed at open; what messages show
  int fd = -1;
  bool read_only = false;
  bool disk_file = false;
  bool truncate_on_first_write = false;
  bool connected = false;
};

// Connects `number` to the file named by the first `length` bytes of `name`.
// Returns only on success; any failure ends the run with its error report.
UnitRecord &open_unit(int number, const char *name, std::size_t length,
                      const char *status, const char *form);

// Disconnects the unit, keeping the file. Returns only on success.
void close_unit(int number);

// Writes one record (the bytes, then the record terminator) to the unit with
// a single system write. Returns only on success.
void write_record(int number, const char *bytes, std::size_t length);

// Reads up to `capacity` bytes at the unit's position: the count read, 0 at
// end of file, -1 when the read fails.
long read_unit(UnitRecord &unit, char *buffer, std::size_t capacity);

} // namespace sshsum
