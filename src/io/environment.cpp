#include "io/environment.hpp"

#include <cstdlib>

namespace sshsum {

bool switch_value_is_on(std::string_view value) {
  if (value.empty())
    return false;
  const char first = value.front();
  if (first == 't' || first == 'T' || first == 'y' || first == 'Y')
    return true;
  bool nonzero = false;
  for (char c : value) {
    if (c < '0' || c > '9')
      return false;
    nonzero = nonzero || c != '0';
  }
  return nonzero;
}

bool switch_is_on(const char *variable) {
  const char *value = std::getenv(variable);
  return value != nullptr && switch_value_is_on(value);
}

std::optional<std::string> variable_value(const char *variable) {
  const char *value = std::getenv(variable);
  if (value == nullptr)
    return std::nullopt;
  return std::string(value);
}

} // namespace sshsum
