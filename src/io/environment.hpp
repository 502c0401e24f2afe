#pragma once

// The environment variables that steer where output and error reports go.
// They are read when they take effect (at each open, connection or report),
// not once at start-up.

#include <optional>
#include <string>
#include <string_view>

namespace sshsum {

// An on/off switch (FOR_DISABLE_STACK_TRACE, FOR_DISABLE_DIAGNOSTIC_DISPLAY,
// FOR_NOERROR_DIALOGS) is on when its value begins with t, T, y or Y, or
// consists of decimal digits only and is not zero ("12" is on, "0" and
// "000" are off). Unset, empty or any other value ("abc", "-1") is off.
bool switch_value_is_on(std::string_view value);
bool switch_is_on(const char *variable);

// The value of a variable that names a file (FOR_DIAGNOSTIC_LOG_FILE,
// FORT0), when set.
std::optional<std::string> variable_value(const char *variable);

} // namespace sshsum
