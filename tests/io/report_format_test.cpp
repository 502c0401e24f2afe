// The report line of every message and the traceback columns.
#include "io/message_table.hpp"
#include "io/traceback.hpp"

#include <gtest/gtest.h>

#include <set>

namespace sshsum {
namespace {

TEST(IoMessages, EveryReportLine) {
  struct Case {
    int number;
    const char *line;
  };
  const Case cases[] = {
      {9, "forrtl: severe (9): permission to access file denied, unit 1, "
          "file /w/f"},
      {24, "forrtl: severe (24): end-of-file during read, unit 1, file /w/f"},
      {28, "forrtl: severe (28): CLOSE error, unit 1, file /w/f"},
      {29, "forrtl: severe (29): file not found, unit 1, file /w/f"},
      {30, "forrtl: severe (30): open failure, unit 1, file /w/f"},
      {38, "forrtl: severe (38): error during write, unit 1, file /w/f"},
      {39, "forrtl: severe (39): error during read, unit 1, file /w/f"},
      {41, "forrtl: severe (41): insufficient virtual memory"},
      {42, "forrtl: severe (42): no such device, unit 1, file /w/f"},
      {43, "forrtl: severe (43): file name specification error, unit 1, "
           "file /w/f"},
      {47, "forrtl: severe (47): write to READONLY file, unit 1, file /w/f"},
      {59, "forrtl: severe (59): list-directed I/O syntax error, unit 1, "
           "file /w/f"},
      {64, "forrtl: severe (64): input conversion error, unit 1, file /w/f"},
      {98, "forrtl: severe (98): cannot allocate memory for the file buffer "
           "- out of memory, unit 1, file /w/f"},
  };
  const MessageValue values[] = {integer_value(1), text_value("/w/f")};
  std::set<int> numbers;
  for (const Case &c : cases) {
    EXPECT_EQ(format_report_line(c.number, values), c.line);
    numbers.insert(c.number);
  }
  const MessageValue event[] = {text_value("control-BREAK")};
  EXPECT_EQ(format_report_line(200, event),
            "forrtl: error (200): program aborting due to control-BREAK "
            "event");
  numbers.insert(200);
  // The table holds exactly these fifteen, 200 the only error kind.
  EXPECT_EQ(message_table().size(), numbers.size());
  for (const Message &m : message_table()) {
    EXPECT_TRUE(numbers.count(m.number)) << m.number;
    EXPECT_EQ(m.kind == MessageKind::error, m.number == 200) << m.number;
  }
}

TEST(IoMessages, ConsoleUnitAndEmptyName) {
  const MessageValue console[] = {integer_value(-1), text_value("CONOUT$")};
  EXPECT_EQ(format_report_line(38, console),
            "forrtl: severe (38): error during write, unit -1, file CONOUT$");
  const MessageValue empty[] = {integer_value(2), text_value("")};
  EXPECT_EQ(format_report_line(29, empty),
            "forrtl: severe (29): file not found, unit 2, file ");
}

TEST(IoTraceback, ColumnsAsLaidOut) {
  // 79 characters: 19 + 10 + 19 + 12 + 19.
  const std::string header = traceback_header();
  EXPECT_EQ(header, "Image              PC        Routine            Line    "
                    "    Source             \n");
  EXPECT_EQ(header.size(), 80u);

  // A frame in kernel32.dll: 7 blanks after the name, 15 between the first
  // two "Unknown".
  EXPECT_EQ(traceback_line({"kernel32.dll", 0x7C817077}),
            "kernel32.dll       7C817077  Unknown               Unknown  "
            "Unknown\n");
  // Names are cut to 17 characters; addresses have at least 8 digits.
  EXPECT_EQ(traceback_line({"a_rather_long_module_name.so", 0xabc}),
            "a_rather_long_mod  00000ABC  Unknown               Unknown  "
            "Unknown\n");
  EXPECT_EQ(traceback_line({"x", 0x123456789AULL}).substr(0, 31),
            "x                  123456789A  ");
}

TEST(IoTraceback, InnermostFirstAndAbnormalEnd) {
  StackWalk walk;
  walk.frames = {{"inner", 0x10}, {"outer", 0x20}};
  walk.complete = true;
  const std::string inner =
      "inner              00000010  Unknown               Unknown  Unknown\n";
  const std::string outer =
      "outer              00000020  Unknown               Unknown  Unknown\n";
  EXPECT_EQ(format_traceback(walk), traceback_header() + inner + outer);
  walk.complete = false;
  EXPECT_EQ(format_traceback(walk),
            traceback_header() + inner + outer +
                "\nStack trace terminated abnormally.\n");
  walk.frames.clear(); // a walk that could not start
  EXPECT_EQ(format_traceback(walk),
            traceback_header() + "\nStack trace terminated abnormally.\n");
}

} // namespace
} // namespace sshsum
