#pragma once

// The files layer on Linux: full path names, opening a file read-write with
// the read-only fallback, and the reasons a failed open reports.

#include <string>
#include <string_view>

namespace sshsum {

// The longest full path a unit keeps; longer full paths are not used.
inline constexpr std::size_t kMaxFullPath = 256;

// Joins a relative `name` to `directory` (an absolute path) and removes "."
// and ".." components and repeated slashes lexically, without looking at
// the file system (symbolic links are not resolved). An absolute name is
// normalised the same way; a trailing slash is kept, since it asks for a
// directory. An empty name stays empty.
std::string normalise_path(std::string_view name, std::string_view directory);

// The full path of `name` against the current directory at this moment,
// or `name` unchanged when the current directory cannot be read or the
// full path would be longer than kMaxFullPath characters.
std::string full_path_name(const std::string &name);

// Result of one open with its fallback.
struct OpenedFile {
  int fd = -1;            // -1 when the open failed
  int error = 0;          // errno of the failure
  bool read_only = false; // the read-write open was refused, read-only not
  bool disk_file = false; // a regular file
};

// Opens `path` for reading and writing; with `create` a missing file is
// created empty (mode 0666 less the umask). An existing file is never
// truncated. When the read-write open is refused for access reasons
// (EACCES, EPERM, EROFS, ETXTBSY) the file is opened once more for reading
// only. A directory is refused with EISDIR even when it could be opened.
// The descriptor is close-on-exec.
OpenedFile open_file(const std::string &path, bool create);

// Opens `path` for writing only, created when missing (no truncation):
// the file that receives the console unit's records.
OpenedFile open_file_for_writing(const std::string &path);

// Opens `path` for appending, created when missing: -1 when it cannot be.
int open_for_appending(const std::string &path);

// Hands all of `bytes` to the system, starting with one write; a short
// write (a pipe under pressure) is continued and an interrupted one
// repeated. False when the system refuses.
bool write_all(int fd, std::string_view bytes);

// Maps the errno of a failed open to the error number that ends the run:
// ENOENT, ENOTDIR -> 29; EACCES, EPERM, EROFS, EISDIR -> 9;
// ENAMETOOLONG -> 43; ENXIO, ENODEV -> 42; anything else -> 30.
int open_error_number(int error);

} // namespace sshsum
