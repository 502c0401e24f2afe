#pragma once

// What a line typed in the file chooser names. Both the terminal dialog and
// the scripted chooser resolve typed text with these rules:
//   - surrounding blanks, tabs, CR and LF are dropped; "~" and "~/..." start
//     at $HOME;
//   - a relative name is taken inside the folder the dialog shows, an
//     absolute name as it is;
//   - the folder part must exist and be a folder (the file need not exist);
//   - a name that is itself a folder ("..", "sub", "/tmp/") opens it;
//   - a last component with "*" or "?" is a file-type pattern;
//   - a last component without "." gets the default extension ".dat";
//   - the full path with its NUL must fit the 260-byte file_name field; it
//     is never cut.

#include <cstddef>
#include <string>
#include <string_view>

namespace sshsum {

inline constexpr std::size_t kFileNameLength = 260; // bytes, NUL included
inline constexpr std::string_view kDefaultExtension = ".dat";

enum class TypedNameKind {
  file,           // a file to choose: `path`
  folder,         // a folder to open: `folder`
  pattern,        // a file-type pattern `pattern` for the folder `folder`
  missing_folder, // the folder part does not exist or is not a folder
  too_long,       // the full path does not fit file_name
  invalid,        // a NUL byte, or nothing left of the name
};

struct TypedName {
  TypedNameKind kind = TypedNameKind::invalid;
  std::string folder;  // the real path of the folder named or used
  std::string path;    // file: the full path for file_name
  std::string pattern; // pattern: the typed wildcard pattern
};

// Drops blanks, tabs, carriage returns and line feeds at both ends.
std::string_view trim_typed_line(std::string_view line);

// `folder` + "/" + `name`, without doubling the slash of the root.
std::string join_path(std::string_view folder, std::string_view name);

// True when `path` and its NUL fit the file_name field.
bool fits_file_name(std::string_view path);

// The real path (no symbolic links, "." or "..") of the existing folder
// `path` in `real`, and `folder`; otherwise `missing_folder` (or `too_long`)
// with `real` unchanged.
TypedNameKind real_folder(const std::string &path, std::string &real);

// Resolves `typed` (already trimmed, not empty) against `shown_folder` (an
// absolute path).
TypedName resolve_typed_name(std::string_view shown_folder,
                             std::string_view typed);

} // namespace sshsum
