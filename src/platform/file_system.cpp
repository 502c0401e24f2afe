#include "platform/file_system.hpp"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace sshsum {

std::string normalise_path(std::string_view name, std::string_view directory) {
  if (name.empty())
    return std::string();
  // Components of the directory (for a relative name) and of the name, in
  // order; "." is dropped, ".." drops the component before it (at the root
  // there is none to drop).
  std::vector<std::string_view> parts;
  auto push = [&parts](std::string_view text) {
    std::size_t start = 0;
    while (start <= text.size()) {
      std::size_t end = text.find('/', start);
      if (end == std::string_view::npos)
        end = text.size();
      const std::string_view part = text.substr(start, end - start);
      if (part == "..") {
        if (!parts.empty())
          parts.pop_back();
      } else if (!part.empty() && part != ".") {
        parts.push_back(part);
      }
      start = end + 1;
    }
  };
  if (name.front() != '/')
    push(directory);
  push(name);
  std::string path;
  for (std::string_view part : parts) {
    path += '/';
    path += part;
  }
  if (path.empty())
    path = "/";
  // "dir/" and "dir/." name a directory: keep the slash that says so.
  const bool names_directory = name.back() == '/' || name.ends_with("/.") ||
                               name.ends_with("/..") || name == "." ||
                               name == "..";
  if (names_directory && path.back() != '/')
    path += '/';
  return path;
}

std::string full_path_name(const std::string &name) {
  if (name.empty())
    return name;
  std::string directory;
  if (name.front() != '/') {
    char buffer[4096];
    if (::getcwd(buffer, sizeof buffer) == nullptr)
      return name;
    directory = buffer;
  }
  std::string path = normalise_path(name, directory);
  if (path.size() > kMaxFullPath)
    return name;
  return path;
}

namespace {

int open_retrying(const char *path, int flags) {
  int fd;
  do
    fd = ::open(path, flags | O_CLOEXEC, 0666);
  while (fd < 0 && errno == EINTR);
  return fd;
}

// Fills in the file type of an open descriptor; refuses a directory.
OpenedFile finish_open(int fd, bool read_only) {
  OpenedFile file;
  struct stat st {};
  const bool known = ::fstat(fd, &st) == 0;
  if (known && S_ISDIR(st.st_mode)) {
    ::close(fd);
    file.error = EISDIR;
    return file;
  }
  file.fd = fd;
  file.read_only = read_only;
  file.disk_file = known && S_ISREG(st.st_mode);
  return file;
}

} // namespace

OpenedFile open_file(const std::string &path, bool create) {
  const int creation = create ? O_CREAT : 0;
  int fd = open_retrying(path.c_str(), O_RDWR | creation);
  if (fd >= 0)
    return finish_open(fd, false);
  const int first_error = errno;
  const bool access_refused = first_error == EACCES || first_error == EPERM ||
                              first_error == EROFS || first_error == ETXTBSY;
  if (!access_refused) {
    OpenedFile failed;
    failed.error = first_error;
    return failed;
  }
  fd = open_retrying(path.c_str(), O_RDONLY | creation);
  if (fd >= 0)
    return finish_open(fd, true);
  OpenedFile failed;
  failed.error = errno;
  return failed;
}

OpenedFile open_file_for_writing(const std::string &path) {
  const int fd = open_retrying(path.c_str(), O_WRONLY | O_CREAT);
  if (fd >= 0)
    return finish_open(fd, false);
  OpenedFile failed;
  failed.error = errno;
  return failed;
}

int open_for_appending(const std::string &path) {
  return open_retrying(path.c_str(), O_WRONLY | O_APPEND | O_CREAT);
}

bool write_all(int fd, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

int open_error_number(int error) {
  switch (error) {
  case ENOENT:
  case ENOTDIR:
    return 29;
  case EACCES:
  case EPERM:
  case EROFS:
  case EISDIR:
    return 9;
  case ENAMETOOLONG:
    return 43;
  case ENXIO:
  case ENODEV:
    return 42;
  default:
    return 30;
  }
}

} // namespace sshsum
