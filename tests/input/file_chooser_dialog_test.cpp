// The chooser's terminal dialog, driven through a pseudo-terminal that is
// the child's controlling terminal and standard input, as a user would.

#include "chooser_child.hpp"

#include <gtest/gtest.h>

#include <string>

namespace sshsum::chooser_test {
namespace {

constexpr char kFill = 'Z';

class ChooserDialog : public ::testing::Test {
protected:
  ScratchFolder scratch;
  ChooserChild child;

  // Starts the dialog in the scratch root and waits for its first prompt.
  void open_dialog() {
    const std::string root = scratch.root;
    child.start(true, "", [root](int report_fd) {
      call_chooser_and_report(root, kFill, report_fd);
    });
    ASSERT_TRUE(child.expect_prompt()) << child.screen;
  }

  std::string shown; // what the dialog wrote after the last typed line

  // Types `line` and Enter, then waits for the next prompt.
  void type_line(const std::string &line) {
    const std::size_t mark = child.screen.size();
    child.send(line + "\r");
    ASSERT_TRUE(child.expect_prompt()) << child.screen;
    shown = child.screen.substr(mark);
  }

  // The dialog ended with this choice, printed nothing on standard output
  // or standard error, and gave the terminal its modes back.
  void expect_choice(const std::string &path, const std::string &folder) {
    const ChooserResult got = child.finish();
    EXPECT_EQ(got.status, 0);
    EXPECT_EQ(got.result, 1);
    EXPECT_EQ(got.path(), path);
    EXPECT_EQ(got.file_name[path.size() + 1], kFill);
    EXPECT_EQ(got.cwd, folder);
    EXPECT_EQ(got.out, "");
    EXPECT_EQ(got.err, "");
    EXPECT_TRUE(child.terminal_modes_restored());
  }

  void expect_cancel() {
    const ChooserResult got = child.finish();
    EXPECT_EQ(got.status, 0);
    EXPECT_EQ(got.result, 0);
    for (char byte : got.file_name)
      ASSERT_EQ(byte, kFill);
    EXPECT_EQ(got.cwd, scratch.root);
    EXPECT_EQ(got.out, "");
    EXPECT_EQ(got.err, "");
    EXPECT_TRUE(child.terminal_modes_restored());
  }
};

TEST_F(ChooserDialog,
       ShowsTitleFolderFileTypesAndDataFilesThenChoosesByNumber) {
  ASSERT_NO_FATAL_FAILURE(open_dialog());
  const std::string &screen = child.screen;
  EXPECT_NE(screen.find(std::string(kTitle) + "\r\n"), std::string::npos);
  EXPECT_NE(screen.find("Look in: " + scratch.root + "/Dat\r\n"),
            std::string::npos);
  EXPECT_NE(screen.find("Files of type: [1 Data Files (*.dat)]  2 Text Files "
                        "(*.txt)  3 Fortran Files  4 All files (*.*)\r\n"),
            std::string::npos);
  // Folders first, then the files of the selected type, each sorted.
  EXPECT_NE(screen.find("     1  ../\r\n     2  sub/\r\n     3  a.dat\r\n"
                        "     4  ssh.dat\r\nNumber or name"),
            std::string::npos)
      << screen;
  child.send("4\r");
  expect_choice(scratch.root + "/Dat/ssh.dat", scratch.root + "/Dat");
}

TEST_F(ChooserDialog, ChoosesATypedNameWithTheDefaultExtension) {
  ASSERT_NO_FATAL_FAILURE(open_dialog());
  child.send("ssh\r");
  expect_choice(scratch.root + "/Dat/ssh.dat", scratch.root + "/Dat");
}

// Tab completion comes from the line editor and completes in the folder
// shown, whatever the file type ("notes.txt" is not listed under *.dat).
TEST_F(ChooserDialog, TabCompletesNamesInTheFolderShown) {
  ASSERT_NO_FATAL_FAILURE(open_dialog());
  child.send("no\t");
  ASSERT_TRUE(child.expect("notes.txt")) << child.screen;
  child.send("\r");
  expect_choice(scratch.root + "/Dat/notes.txt", scratch.root + "/Dat");
}

// A completed name with a blank comes back quoted ("my\ file.dat") and is
// taken as the name it quotes.
TEST_F(ChooserDialog, TabCompletedNamesWithBlanksAreTakenUnquoted) {
  std::ofstream(scratch.root + "/Dat/my file.dat") << "1\n";
  ASSERT_NO_FATAL_FAILURE(open_dialog());
  child.send("my\t");
  ASSERT_TRUE(child.expect("my\\ file.dat")) << child.screen;
  child.send("\r");
  expect_choice(scratch.root + "/Dat/my file.dat", scratch.root + "/Dat");
}

TEST_F(ChooserDialog, OpensFoldersByNumberByNameAndByParent) {
  ASSERT_NO_FATAL_FAILURE(open_dialog());
  ASSERT_NO_FATAL_FAILURE(type_line("2")); // sub/
  EXPECT_NE(shown.find("Look in: " + scratch.root + "/Dat/sub\r\n"),
            std::string::npos);
  EXPECT_NE(shown.find("     1  ../\r\n     2  b.dat\r\n"), std::string::npos);
  ASSERT_NO_FATAL_FAILURE(type_line(".."));
  ASSERT_NO_FATAL_FAILURE(type_line("1")); // ../ of Dat: the scratch root
  EXPECT_NE(shown.find("Look in: " + scratch.root + "\r\n"), std::string::npos);
  ASSERT_NO_FATAL_FAILURE(type_line("other"));
  EXPECT_NE(shown.find("Look in: " + scratch.root + "/other\r\n"),
            std::string::npos);
  child.send("x\r");
  expect_choice(scratch.root + "/other/x.dat", scratch.root + "/other");
}

TEST_F(ChooserDialog, FileTypesChangeTheListAndListedNamesAreTakenAsTheyAre) {
  ASSERT_NO_FATAL_FAILURE(open_dialog());
  ASSERT_NO_FATAL_FAILURE(type_line(":2"));
  EXPECT_NE(shown.find("  1 Data Files (*.dat) [2 Text Files (*.txt)]"),
            std::string::npos);
  EXPECT_NE(shown.find("     2  sub/\r\n     3  notes.txt\r\nNumber"),
            std::string::npos);
  ASSERT_NO_FATAL_FAILURE(type_line(":3"));
  EXPECT_NE(shown.find("     2  sub/\r\n     3  prog.f90\r\nNumber"),
            std::string::npos);
  // A typed pattern becomes the file type; letters match in any case.
  ASSERT_NO_FATAL_FAILURE(type_line("*.T?T"));
  EXPECT_NE(shown.find("  4 All files (*.*)  [*.T?T]\r\n"), std::string::npos);
  EXPECT_NE(shown.find("     2  sub/\r\n     3  notes.txt\r\nNumber"),
            std::string::npos);
  ASSERT_NO_FATAL_FAILURE(type_line(":4"));
  EXPECT_NE(shown.find("     3  a.dat\r\n     4  notes.txt\r\n"
                       "     5  prog.f90\r\n     6  README\r\n"
                       "     7  ssh.dat\r\nNumber"),
            std::string::npos)
      << child.screen;
  child.send("6\r"); // no extension added to a listed name
  expect_choice(scratch.root + "/Dat/README", scratch.root + "/Dat");
}

TEST_F(ChooserDialog, MistakesAreSaidAndThePromptComesAgain) {
  ASSERT_NO_FATAL_FAILURE(open_dialog());
  ASSERT_NO_FATAL_FAILURE(type_line("nope/x"));
  EXPECT_NE(shown.find("There is no folder for nope/x.\r\n"),
            std::string::npos);
  ASSERT_NO_FATAL_FAILURE(type_line("99"));
  EXPECT_NE(shown.find("There is no entry 99.\r\n"), std::string::npos);
  child.send("a\r");
  expect_choice(scratch.root + "/Dat/a.dat", scratch.root + "/Dat");
}

TEST_F(ChooserDialog, EmptyLineCancelsEvenAfterMovingToAnotherFolder) {
  ASSERT_NO_FATAL_FAILURE(open_dialog());
  ASSERT_NO_FATAL_FAILURE(type_line("sub"));
  child.send("\r");
  expect_cancel();
}

TEST_F(ChooserDialog, ControlDCancels) {
  ASSERT_NO_FATAL_FAILURE(open_dialog());
  child.send("\x04");
  expect_cancel();
}

TEST_F(ChooserDialog, APathTooLongForFileNameEndsWithoutAChoice) {
  ASSERT_NO_FATAL_FAILURE(open_dialog());
  child.send(std::string(250, 'x') + "\r");
  ASSERT_TRUE(child.expect("Nothing is chosen.")) << child.screen;
  expect_cancel();
}

} // namespace
} // namespace sshsum::chooser_test
