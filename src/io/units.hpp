#pragma once

#include <cstddef>
#include <string>

namespace sshsum {

// Unit numbers. The console unit is standard output; it is connected by its
// first write, named "CONOUT$" in messages and shown as unit -1 in them
// ("error during write, unit -1, file CONOUT$"). FOR_PRINT=FILE sends its
// records to FILE instead (created when missing, replaced from its start
// by the first record, like "ssh.rez"); messages then name that file.
inline constexpr int kConsoleUnit = -1;
inline constexpr int kReportUnit = 1; // "ssh.rez"
inline constexpr int kDataUnit = 2;   // the data file, then "ssh.dat"

// The name messages show for the console unit on standard output.
inline constexpr const char *kConsoleName = "CONOUT$";

// One connected unit.
struct UnitRecord {
  int number = 0;
  std::string file_name; // the name formed at open; what messages show
  int fd = -1;
  bool read_only = false; // every write is error 47
  bool disk_file = false; // a regular file
  // Set at open for a disk file: the first record written cuts the file
  // after itself, so an existing longer file ends up holding only what this
  // run wrote. Pipes and devices are never cut.
  bool truncate_on_first_write = false;
  bool connected = false;
  std::string terminator = "\r\n"; // from FOR_FMT_TERMINATOR at connection
};

// Connects `number` to the file named by the first `length` bytes of `name`
// (see form_file_name), opened read-write, or read-only when only that is
// allowed. `status` "OLD" needs an existing file, "UNKNOWN" creates a
// missing one empty; `form` is "FORMATTED"; both compared upper-cased
// without trailing blanks. An existing file is never truncated here.
// Returns only on success; any failure ends the run with its error report:
// 29 no such file or folder (the empty name too), 9 access refused or a
// folder, 43 a name longer than 256 characters or refused by the system as
// too long, 42 a socket or a device without a driver, 30 anything else
// (too many open files, a loop of links, an unknown keyword value).
// The reference stays valid for the whole run; after close_unit it
// describes a free unit.
UnitRecord &open_unit(int number, const char *name, std::size_t length,
                      const char *status, const char *form);

// Disconnects the unit, keeping the file. Returns only on success; a close
// the system refuses is error 28. Closing a free unit does nothing.
void close_unit(int number);

// Writes one record (the bytes, then the record terminator) to the unit with
// a single system write, as soon as it is complete, so a run that ends early
// keeps every whole record written before. Returns only on success: a
// read-only unit is error 47, a failed write or cut 38 (a write to a free
// file unit is error 38 too).
void write_record(int number, const char *bytes, std::size_t length);

// Reads up to `capacity` bytes at the unit's position: the count read, 0 at
// end of file, -1 when the read fails. Interrupted reads are repeated.
long read_unit(UnitRecord &unit, char *buffer, std::size_t capacity);

// The record of a connected unit, or nullptr.
const UnitRecord *find_unit(int number);

// Closes every unit still connected. With `report_failures`, a close that
// fails ends the run with error 28 (the normal finish); without it (the run
// is already ending) failures are passed over, and when another thread is
// inside the unit table the closing is skipped: every record is already
// with the system.
void close_open_units(bool report_failures);

} // namespace sshsum
