// Folder listing for the file chooser.

#include "input/chooser_folder.hpp"

#include "input/chooser_names.hpp"

#include <algorithm>
#include <dirent.h>
#include <fnmatch.h>
#include <strings.h>
#include <sys/stat.h>

namespace sshsum {

bool matches_file_type(std::string_view name, std::string_view patterns) {
  const std::string subject(name);
  while (!patterns.empty()) {
    const auto end = patterns.find(';');
    const std::string_view one = trim_typed_line(patterns.substr(0, end));
    patterns = end == std::string_view::npos ? std::string_view{}
                                             : patterns.substr(end + 1);
    if (one == "*.*" || one == "*")
      return true;
    if (!one.empty() &&
        fnmatch(std::string(one).c_str(), subject.c_str(), FNM_CASEFOLD) == 0)
      return true;
  }
  return false;
}

bool list_folder(const std::string &folder, std::string_view patterns,
                 std::vector<FolderEntry> &entries) {
  entries.clear();
  DIR *directory = opendir(folder.c_str());
  if (!directory)
    return false;
  std::vector<FolderEntry> folders, files;
  while (const dirent *item = readdir(directory)) {
    const std::string name = item->d_name;
    if (name[0] == '.')
      continue;
    // Symbolic links count as what they point to; an entry that cannot be
    // examined is listed as a file.
    struct stat info;
    const bool is_folder = stat(join_path(folder, name).c_str(), &info) == 0 &&
                           S_ISDIR(info.st_mode);
    if (is_folder)
      folders.push_back({name, true});
    else if (matches_file_type(name, patterns))
      files.push_back({name, false});
  }
  closedir(directory);

  const auto by_name = [](const FolderEntry &a, const FolderEntry &b) {
    const int folded = strcasecmp(a.name.c_str(), b.name.c_str());
    return folded != 0 ? folded < 0 : a.name < b.name;
  };
  std::sort(folders.begin(), folders.end(), by_name);
  std::sort(files.begin(), files.end(), by_name);
  if (folder != "/")
    entries.push_back({"..", true});
  entries.insert(entries.end(), folders.begin(), folders.end());
  entries.insert(entries.end(), files.begin(), files.end());
  return true;
}

} // namespace sshsum
