#include "io/file_names.hpp"

namespace sshsum {

std::string keyword_value(std::string_view value) {
  std::size_t end = value.size();
  while (end > 1 && value[end - 1] == ' ')
    --end;
  std::string upper(value.substr(0, end));
  for (char &c : upper)
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  return upper;
}

FormedName form_file_name(const char *text, std::size_t length) {
  std::size_t begin = 0;
  std::size_t end = length;
  while (begin < end && text[begin] == ' ')
    ++begin;
  while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\0'))
    --end;
  std::string_view name(text + begin, end - begin);
  const std::size_t nul = name.find('\0');
  if (nul != std::string_view::npos)
    name = name.substr(0, nul);
  FormedName formed;
  formed.name.assign(name);
  formed.too_long = name.size() > kMaxFileName;
  return formed;
}

} // namespace sshsum
