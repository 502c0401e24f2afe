// The chooser without a terminal: one line of standard input is the name
// typed in the dialog, resolved in the folder the dialog opens in.

#include "chooser_child.hpp"

#include <gtest/gtest.h>

#include <string>

namespace sshsum::chooser_test {
namespace {

constexpr char kFill = 'Z'; // what file_name holds before the call

class ChooserScripted : public ::testing::Test {
protected:
  ScratchFolder scratch;

  // Runs the chooser in `start` (below the scratch root) with `input` on
  // standard input and HOME at <root>/other.
  ChooserResult run(const std::string &input, const std::string &start = "") {
    ChooserChild child;
    const std::string root = scratch.root;
    child.start(false, input, [&](int report_fd) {
      setenv("HOME", (root + "/other").c_str(), 1);
      call_chooser_and_report(root + start, kFill, report_fd);
    });
    return child.finish();
  }

  // A choice: the path, its NUL, then the bytes that were there before;
  // the current directory is the chosen file's folder; nothing printed.
  void expect_choice(const ChooserResult &got, const std::string &path,
                     const std::string &folder) {
    EXPECT_EQ(got.status, 0);
    EXPECT_EQ(got.result, 1);
    EXPECT_EQ(got.path(), path);
    for (std::size_t i = path.size() + 1; i < got.file_name.size(); ++i)
      ASSERT_EQ(got.file_name[i], kFill) << "byte " << i;
    EXPECT_EQ(got.cwd, folder);
    EXPECT_EQ(got.out, "");
    EXPECT_EQ(got.err, "");
  }

  // No choice: result 0, file_name and the current directory unchanged.
  void expect_no_choice(const ChooserResult &got, const std::string &start) {
    EXPECT_EQ(got.status, 0);
    EXPECT_EQ(got.result, 0);
    for (std::size_t i = 0; i < got.file_name.size(); ++i)
      ASSERT_EQ(got.file_name[i], kFill) << "byte " << i;
    EXPECT_EQ(got.cwd, start);
    EXPECT_EQ(got.out, "");
    EXPECT_EQ(got.err, "");
  }
};

TEST_F(ChooserScripted, NamesResolveInTheDatFolderWithTheDefaultExtension) {
  std::filesystem::create_directory(scratch.root + "/Dat/v1.2");
  const std::string root = scratch.root;
  struct Case {
    std::string input, start, path, folder;
  };
  const Case cases[] = {
      {"ssh\n", "", "/Dat/ssh.dat", "/Dat"},
      {"ssh.dat\n", "", "/Dat/ssh.dat", "/Dat"},
      {" \tssh  \r\n", "", "/Dat/ssh.dat", "/Dat"},
      {"ssh", "", "/Dat/ssh.dat", "/Dat"}, // no line feed before the end
      {"notes.txt\nsecond line\n", "", "/Dat/notes.txt", "/Dat"},
      {"not-there\n", "", "/Dat/not-there.dat", "/Dat"}, // need not exist
      {"sub/b\n", "", "/Dat/sub/b.dat", "/Dat/sub"},
      {"sub/../a.dat\n", "", "/Dat/a.dat", "/Dat"},
      {"../top\n", "", "/top.dat", ""},
      {"v1.2/data\n", "", "/Dat/v1.2/data.dat", "/Dat/v1.2"},
      {root + "/other/x.dat\n", "", "/other/x.dat", "/other"},
      {"~/x\n", "", "/other/x.dat", "/other"},
      // No "Dat" below the current directory: names are taken there.
      {"x\n", "/other", "/other/x.dat", "/other"},
      {"ssh\n", "/Dat", "/Dat/ssh.dat", "/Dat"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE("input \"" + c.input + "\" in " + c.start);
    expect_choice(run(c.input, c.start), root + c.path, root + c.folder);
  }
}

// A current directory that cannot be read (here: removed) leaves the
// chooser to start in $HOME.
TEST_F(ChooserScripted, StartsInHomeWhenTheCurrentDirectoryIsGone) {
  const std::string root = scratch.root;
  std::filesystem::create_directory(root + "/gone");
  ChooserChild child;
  child.start(false, "x\n", [&](int report_fd) {
    setenv("HOME", (root + "/other").c_str(), 1);
    if (chdir((root + "/gone").c_str()) != 0 ||
        rmdir((root + "/gone").c_str()) != 0)
      _exit(123);
    call_chooser_and_report(".", kFill, report_fd);
  });
  expect_choice(child.finish(), root + "/other/x.dat", root + "/other");
}

TEST_F(ChooserScripted, CancelsAndFailuresLeaveEverythingAsItWas) {
  const std::string cases[] = {
      "",                                // no input at all
      "\n",                              // an empty line
      "  \t\r\n",                        // blanks only
      "nope/x.dat\n",                    // the folder does not exist
      "ssh.dat/x\n",                     // the "folder" is a file
      "sub\n",                           // a folder only opens it
      "..\n",                            // likewise
      "*.txt\n",                         // a pattern only filters
      std::string("ss\0h\n", 5),         // a NUL inside the name
      std::string(5000, 'y') + ".dat\n", // far beyond any path
  };
  for (const std::string &input : cases) {
    SCOPED_TRACE("input \"" + input.substr(0, 40) + "\"");
    expect_no_choice(run(input), scratch.root);
  }
}

// The path and its NUL must fit the 260 bytes of file_name: 259 bytes of
// path are accepted, 260 are refused whole (never cut), also when it is the
// default extension that makes the path too long.
TEST_F(ChooserScripted, PathsLongerThan259BytesAreRefused) {
  const std::string folder = scratch.root + "/Dat";
  const std::size_t room = 259 - folder.size() - 1; // for the last component
  ASSERT_LE(room, 255u);
  const std::string fits = std::string(room - 4, 'x');
  const std::string over = std::string(room - 3, 'x');

  expect_choice(run(fits + ".dat\n"), folder + "/" + fits + ".dat", folder);
  expect_choice(run(fits + "\n"), folder + "/" + fits + ".dat", folder);
  ASSERT_EQ((folder + "/" + fits + ".dat").size(), 259u);
  expect_no_choice(run(over + ".dat\n"), scratch.root);
  expect_no_choice(run(over + "\n"), scratch.root);
}

} // namespace
} // namespace sshsum::chooser_test
