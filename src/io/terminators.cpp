#include "io/terminators.hpp"

#include "io/file_names.hpp"

#include <charconv>
#include <cstdlib>
#include <optional>

namespace sshsum {

namespace {

std::string_view trim_blanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
    text.remove_suffix(1);
  return text;
}

std::optional<std::string_view> mode_terminator(std::string_view mode) {
  const std::string upper = keyword_value(trim_blanks(mode));
  if (upper == "CR")
    return "\r";
  if (upper == "LF")
    return "\n";
  if (upper == "CRLF")
    return "\r\n";
  return std::nullopt;
}

// Whether the unit list names `unit`; nullopt when the list is malformed.
std::optional<bool> list_names_unit(std::string_view list, int unit) {
  bool found = false;
  for (;;) {
    const std::size_t comma = list.find(',');
    const std::string_view item = trim_blanks(list.substr(0, comma));
    int number = 0;
    const auto [end, error] =
        std::from_chars(item.data(), item.data() + item.size(), number);
    if (item.empty() || error != std::errc() ||
        end != item.data() + item.size())
      return std::nullopt;
    found = found || number == unit;
    if (comma == std::string_view::npos)
      return found;
    list.remove_prefix(comma + 1);
  }
}

} // namespace

std::string terminator_for_unit(std::string_view setting, int unit) {
  std::string_view chosen = kDefaultTerminator;
  for (;;) {
    const std::size_t semicolon = setting.find(';');
    const std::string_view group = setting.substr(0, semicolon);
    const std::size_t colon = group.find(':');
    const auto terminator = mode_terminator(group.substr(0, colon));
    if (terminator) {
      if (colon == std::string_view::npos) {
        chosen = *terminator;
      } else {
        const auto named = list_names_unit(group.substr(colon + 1), unit);
        if (named && *named)
          chosen = *terminator;
      }
    }
    if (semicolon == std::string_view::npos)
      break;
    setting.remove_prefix(semicolon + 1);
  }
  return std::string(chosen);
}

std::string record_terminator(int unit) {
  const char *setting = std::getenv("FOR_FMT_TERMINATOR");
  if (setting == nullptr)
    return std::string(kDefaultTerminator);
  return terminator_for_unit(setting, unit);
}

} // namespace sshsum
