// The text rules of the units layer: keyword values, file names, full
// paths, on/off switches and record terminators.
#include "io/environment.hpp"
#include "io/file_names.hpp"
#include "io/terminators.hpp"
#include "platform/file_system.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace sshsum {
namespace {

TEST(IoKeywords, UpperCasedWithoutTrailingBlanks) {
  EXPECT_EQ(keyword_value("old"), "OLD");
  EXPECT_EQ(keyword_value("OLD"), "OLD");
  EXPECT_EQ(keyword_value("oLd   "), "OLD");
  EXPECT_EQ(keyword_value("unknown"), "UNKNOWN");
  EXPECT_EQ(keyword_value("Formatted "), "FORMATTED");
  EXPECT_EQ(keyword_value(" old"), " OLD"); // only trailing blanks go
  EXPECT_EQ(keyword_value("   "), " ");     // one character stays
}

TEST(IoFileNames, FormedFromTheGivenText) {
  struct Case {
    std::string text;
    std::string name;
  };
  std::string dialog(260, '\0'); // a dialog's buffer: path, NUL, zeros
  dialog.replace(0, 13, "/data/ssh.dat");
  const Case cases[] = {
      {"ssh.dat", "ssh.dat"},
      {"  ssh.dat  ", "ssh.dat"},
      {dialog, "/data/ssh.dat"},
      {std::string(260, '\0'), ""}, // cancelled dialog
      {"   ", ""},
      {std::string("a b\0cd  ", 8), "a b"},    // an inner NUL ends it
      {std::string("ab \0cd\0 \0", 9), "ab "}, // trailing NULs go first
      {std::string("\0ab", 3), ""},            // NUL first: empty
      {"dir with blanks/f ", "dir with blanks/f"},
  };
  for (const Case &c : cases) {
    const FormedName formed = form_file_name(c.text.data(), c.text.size());
    EXPECT_EQ(formed.name, c.name) << c.text;
    EXPECT_FALSE(formed.too_long);
  }
  // Only the given length is looked at.
  EXPECT_EQ(form_file_name("ssh.datXYZ", 7).name, "ssh.dat");
}

TEST(IoFileNames, LongerThan256IsRefusedNotCut) {
  const std::string name256(256, 'n');
  std::string buffer(260, '\0');
  buffer.replace(0, 256, name256);
  FormedName formed = form_file_name(buffer.data(), buffer.size());
  EXPECT_EQ(formed.name, name256);
  EXPECT_FALSE(formed.too_long);

  buffer.replace(0, 257, name256 + "x"); // 257 characters
  formed = form_file_name(buffer.data(), buffer.size());
  EXPECT_TRUE(formed.too_long);
  EXPECT_EQ(formed.name.size(), 257u);

  // Blanks around a name of 256 characters do not count.
  const std::string padded = "    " + name256 + "    ";
  formed = form_file_name(padded.data(), padded.size());
  EXPECT_FALSE(formed.too_long);
  EXPECT_EQ(formed.name, name256);
}

TEST(IoPaths, NormalisedLexically) {
  struct Case {
    const char *name;
    const char *directory;
    const char *path;
  };
  const Case cases[] = {
      {"ssh.dat", "/home/u/run", "/home/u/run/ssh.dat"},
      {"Dat/ssh.dat", "/home/u", "/home/u/Dat/ssh.dat"},
      {"./a/./b/../c", "/x/y", "/x/y/a/c"},
      {"../ssh.rez", "/x/y", "/x/ssh.rez"},
      {"../../../../z", "/x", "/z"}, // ".." stops at the root
      {"a//b", "/", "/a/b"},
      {"/abs/./p/../q", "/ignored", "/abs/q"},
      {"sub/", "/x", "/x/sub/"}, // a trailing slash still asks for a folder
      {".", "/x/y", "/x/y/"},
      {"..", "/x/y", "/x/"},
      {"", "/x", ""},
  };
  for (const Case &c : cases)
    EXPECT_EQ(normalise_path(c.name, c.directory), c.path) << c.name;
}

TEST(IoPaths, OpenFailureReasons) {
  const std::pair<int, int> cases[] = {
      {ENOENT, 29}, {ENOTDIR, 29}, {EACCES, 9},        {EPERM, 9},
      {EROFS, 9},   {EISDIR, 9},   {ENAMETOOLONG, 43}, {ENXIO, 42},
      {ENODEV, 42}, {EMFILE, 30},  {ELOOP, 30},        {EIO, 30},
      {ENOSPC, 30},
  };
  for (const auto &[error, number] : cases)
    EXPECT_EQ(open_error_number(error), number) << error;
}

TEST(IoEnvironment, SwitchValues) {
  const std::pair<const char *, bool> cases[] = {
      {"yes", true},
      {"0", false},
      {"T", true},
      {"", false},
      {"12", true},
      {"abc", false},
      {"y", true},
      {"Y", true},
      {"t", true},
      {"true", true},
      {"00", false},
      {"007", true},
      {"-1", false},
      {" 1", false},
      {"1a", false},
      {"false", false},
      {"no", false},
      {"Yikes", true},
      {"99999999999999999999", true},
  };
  for (const auto &[value, on] : cases)
    EXPECT_EQ(switch_value_is_on(value), on) << '"' << value << '"';
}

TEST(IoTerminators, ChosenPerUnit) {
  struct Case {
    const char *setting;
    int unit;
    const char *terminator;
  };
  const Case cases[] = {
      {"", 1, "\r\n"},
      {"CR", 1, "\r"},
      {"lf", -1, "\n"},
      {" LF ", 2, "\n"},
      {"crlf", 1, "\r\n"},
      {"LF:1", 1, "\n"},
      {"LF:1", -1, "\r\n"},
      {"LF:-1", -1, "\n"},
      {"CR:2, 1 ,7", 1, "\r"},
      {"CR;LF:1", 1, "\n"}, // the last group that applies decides
      {"CR;LF:1", -1, "\r"},
      {"LF:1;CR", 1, "\r"},
      {"XY", 1, "\r\n"},     // unknown mode: ignored
      {"LF:one", 1, "\r\n"}, // malformed list: ignored
      {"LF:1x", 1, "\r\n"},
      {"LF:", 1, "\r\n"},
      {"XY;LF", 1, "\n"},
  };
  for (const Case &c : cases)
    EXPECT_EQ(terminator_for_unit(c.setting, c.unit), c.terminator)
        << c.setting << " unit " << c.unit;
}

} // namespace
} // namespace sshsum
