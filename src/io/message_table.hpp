#pragma once

// The messages a run can end with: number, kind and text.

#include <span>
#include <string>
#include <string_view>

namespace sshsum {

// The kind selects the prefix of the report line.
enum class MessageKind {
  error = 3,  // "forrtl: error (%i): ", the run goes on after the report
  severe = 4, // "forrtl: severe (%i): ", the run ends
};

struct Message {
  int number;
  MessageKind kind;
  std::string_view text; // %d: a signed decimal integer, %s: a string
};

// The fifteen messages of the program, by number.
std::span<const Message> message_table();

// The entry of `number`; a number not in the table gives a severe message
// with an empty text.
Message find_message(int number);

// A value for a placeholder of a message text.
struct MessageValue {
  bool is_text = false;
  long long integer = 0;
  std::string_view text;
};
inline MessageValue integer_value(long long v) { return {false, v, {}}; }
inline MessageValue text_value(std::string_view t) { return {true, 0, t}; }

// The report line of `number` with its values, without a line end:
// prefix of its kind with the number, then the text with each %d and %s
// replaced by the next value in order. A placeholder without a value is
// left out; "%%" is one "%".
std::string format_report_line(int number,
                               std::span<const MessageValue> values);

} // namespace sshsum
