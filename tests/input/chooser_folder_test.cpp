// File types, folder listings and the title text of the file chooser.

#include "chooser_child.hpp"
#include "input/chooser_folder.hpp"
#include "input/file_chooser.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace sshsum::chooser_test {
namespace {

TEST(ChooserFolder, FileTypesMatchLikeTheDialogsPatterns) {
  struct Case {
    const char *name, *patterns;
    bool matches;
  };
  const Case cases[] = {
      {"ssh.dat", "*.dat", true},       {"SSH.DAT", "*.dat", true},
      {"ssh.dat.bak", "*.dat", false},  {"ssh.txt", "*.dat", false},
      {"prog.f90", "*.f90;*.f", true},  {"prog.f", "*.f90;*.f", true},
      {"prog.for", "*.f90;*.f", false}, {"README", "*.*", true},
      {"a.b.c", "*.*", true},           {"run7.txt", "run?.TXT", true},
      {"run17.txt", "run?.txt", false}, {"x.dat", "", false},
  };
  for (const Case &c : cases)
    EXPECT_EQ(matches_file_type(c.name, c.patterns), c.matches)
        << c.name << " against " << c.patterns;
}

std::vector<std::string> names(const std::vector<FolderEntry> &entries) {
  std::vector<std::string> shown;
  for (const FolderEntry &entry : entries)
    shown.push_back(entry.name + (entry.is_folder ? "/" : ""));
  return shown;
}

TEST(ChooserFolder, ListsParentFoldersThenMatchingFilesSortedAndHidesDotNames) {
  ScratchFolder scratch;
  const std::string dat = scratch.root + "/Dat";
  std::filesystem::create_directory(dat + "/Zeta");
  std::filesystem::create_directory(dat + "/.cache");
  std::ofstream(dat + "/.hidden.dat") << "1\n";
  std::ofstream(dat + "/B.DAT") << "1\n";
  std::filesystem::create_symlink(dat + "/sub", dat + "/link");

  std::vector<FolderEntry> entries;
  ASSERT_TRUE(list_folder(dat, "*.dat", entries));
  EXPECT_EQ(names(entries),
            (std::vector<std::string>{"../", "link/", "sub/", "Zeta/", "a.dat",
                                      "B.DAT", "ssh.dat"}));
  ASSERT_TRUE(list_folder("/", "*.none", entries));
  ASSERT_FALSE(entries.empty());
  EXPECT_NE(entries[0].name, "..");
  EXPECT_FALSE(list_folder(scratch.root + "/missing", "*.*", entries));
}

TEST(ChooserFolder, TitleIsShownUpToItsNulOrItsEightyCharacters) {
  char field[80];
  std::memset(field, ' ', sizeof field);
  std::memcpy(field, "Pick one\0 junk", 14);
  EXPECT_EQ(dialog_title_text(field), "Pick one");
  std::memset(field, 'T', sizeof field);
  field[79] = ' ';
  EXPECT_EQ(dialog_title_text(field), std::string(79, 'T'));
}

} // namespace
} // namespace sshsum::chooser_test
