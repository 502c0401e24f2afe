#include "io/message_table.hpp"

#include <array>

namespace sshsum {

namespace {

constexpr auto S = MessageKind::severe;
constexpr std::array<Message, 15> kMessages{{
    {9, S, "permission to access file denied, unit %d, file %s"},
    {24, S, "end-of-file during read, unit %d, file %s"},
    {28, S, "CLOSE error, unit %d, file %s"},
    {29, S, "file not found, unit %d, file %s"},
    {30, S, "open failure, unit %d, file %s"},
    {38, S, "error during write, unit %d, file %s"},
    {39, S, "error during read, unit %d, file %s"},
    {41, S, "insufficient virtual memory"},
    {42, S, "no such device, unit %d, file %s"},
    {43, S, "file name specification error, unit %d, file %s"},
    {47, S, "write to READONLY file, unit %d, file %s"},
    {59, S, "list-directed I/O syntax error, unit %d, file %s"},
    {64, S, "input conversion error, unit %d, file %s"},
    {98, S,
     "cannot allocate memory for the file buffer - out of memory, unit %d, "
     "file %s"},
    {200, MessageKind::error, "program aborting due to %s event"},
}};

} // namespace

std::span<const Message> message_table() { return kMessages; }

Message find_message(int number) {
  for (const Message &m : kMessages)
    if (m.number == number)
      return m;
  return {number, MessageKind::severe, ""};
}

std::string format_report_line(int number,
                               std::span<const MessageValue> values) {
  const Message message = find_message(number);
  std::string line = message.kind == MessageKind::error ? "forrtl: error ("
                                                        : "forrtl: severe (";
  line += std::to_string(number);
  line += "): ";
  std::size_t next = 0;
  const std::string_view text = message.text;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%' || i + 1 == text.size()) {
      line += text[i];
      continue;
    }
    const char conversion = text[++i];
    if (conversion == '%') {
      line += '%';
      continue;
    }
    if (next == values.size())
      continue;
    const MessageValue &value = values[next++];
    if (value.is_text)
      line += value.text;
    else
      line += std::to_string(value.integer);
  }
  return line;
}

} // namespace sshsum
