// Resolution of typed names in the file chooser.
//
// Steps for one typed name:
//   1. "~" and "~/rest" become $HOME and $HOME/rest (when HOME is set);
//   2. a name not starting with "/" is joined to the folder shown;
//   3. the text is split at its last "/" into folder part and last
//      component; the folder part must resolve (realpath: symbolic links and
//      "." and ".." are taken out) to an existing folder;
//   4. an empty, "." or ".." last component, or one that is an existing
//      folder, names a folder to open; one with "*" or "?" is a pattern;
//   5. otherwise it is a file: ".dat" is appended when the last component
//      has no "." at all, and the full path is the real folder, "/" and the
//      last component. The file itself need not exist: opening it later
//      reports a missing file.
//   6. A full path of more than 259 bytes does not fit file_name with its
//      NUL: the name is refused whole, never cut.

#include "input/chooser_names.hpp"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>

namespace sshsum {
namespace {

bool is_folder(const std::string &path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string expand_home(std::string_view typed) {
  if (typed.empty() || typed[0] != '~' || (typed.size() > 1 && typed[1] != '/'))
    return std::string(typed);
  const char *home = std::getenv("HOME");
  if (!home || !*home)
    return std::string(typed);
  return std::string(home) + std::string(typed.substr(1));
}

} // namespace

TypedNameKind real_folder(const std::string &path, std::string &real) {
  char *resolved = realpath(path.c_str(), nullptr);
  if (!resolved)
    return errno == ENAMETOOLONG ? TypedNameKind::too_long
                                 : TypedNameKind::missing_folder;
  real = resolved;
  std::free(resolved);
  return is_folder(real) ? TypedNameKind::folder
                         : TypedNameKind::missing_folder;
}

std::string_view trim_typed_line(std::string_view line) {
  constexpr std::string_view blanks = " \t\r\n";
  const auto first = line.find_first_not_of(blanks);
  if (first == std::string_view::npos)
    return {};
  const auto last = line.find_last_not_of(blanks);
  return line.substr(first, last - first + 1);
}

std::string join_path(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (path.empty() || path.back() != '/')
    path += '/';
  path += name;
  return path;
}

bool fits_file_name(std::string_view path) {
  return path.size() + 1 <= kFileNameLength;
}

TypedName resolve_typed_name(std::string_view shown_folder,
                             std::string_view typed) {
  TypedName result;
  if (typed.empty() || typed.find('\0') != std::string_view::npos)
    return result; // invalid

  // Steps 1 and 2: the full text of the name.
  std::string full = expand_home(typed);
  if (full[0] != '/')
    full = join_path(shown_folder, full);

  // Step 3: folder part and last component.
  const auto slash = full.rfind('/');
  const std::string folder_part = slash == 0 ? "/" : full.substr(0, slash);
  const std::string last = full.substr(slash + 1);
  result.kind = real_folder(folder_part, result.folder);
  if (result.kind != TypedNameKind::folder)
    return result;

  // Step 4: folders and patterns.
  if (last.empty() || last == "." || last == "..") {
    result.kind = real_folder(full, result.folder);
    return result;
  }
  if (last.find_first_of("*?") != std::string::npos) {
    result.kind = TypedNameKind::pattern;
    result.pattern = last;
    return result;
  }
  const std::string candidate = join_path(result.folder, last);
  if (is_folder(candidate)) {
    result.kind = real_folder(candidate, result.folder);
    return result;
  }

  // Steps 5 and 6: a file.
  result.path = last.find('.') == std::string::npos
                    ? candidate + std::string(kDefaultExtension)
                    : candidate;
  result.kind = fits_file_name(result.path) ? TypedNameKind::file
                                            : TypedNameKind::too_long;
  return result;
}

} // namespace sshsum
