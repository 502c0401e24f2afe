#pragma once

// The entries the file chooser lists for one folder and one file type.

#include <string>
#include <string_view>
#include <vector>

namespace sshsum {

struct FolderEntry {
  std::string name;
  bool is_folder = false;
};

// True when `name` matches one of the ";"-separated wildcard patterns, with
// letters compared without regard to case; "*.*" matches every name, also
// one without a ".".
bool matches_file_type(std::string_view name, std::string_view patterns);

// The entries of `folder`: ".." first (except at the root), then its
// sub-folders, then its files that match `patterns`, each group sorted by
// name (case-insensitive, then byte order). Names starting with "." are
// hidden (they can still be typed). Returns false when the folder cannot be
// read.
bool list_folder(const std::string &folder, std::string_view patterns,
                 std::vector<FolderEntry> &entries);

} // namespace sshsum
