#pragma once

// Record terminators of output units and the FOR_FMT_TERMINATOR switch.

#include <string>
#include <string_view>

namespace sshsum {

// The terminator every record gets unless FOR_FMT_TERMINATOR says
// otherwise: carriage return and line feed.
inline constexpr std::string_view kDefaultTerminator = "\r\n";

// The terminator of the records of `unit` under a FOR_FMT_TERMINATOR value.
// The value is a list of groups separated by ";", each a mode with an
// optional list of unit numbers after a ":":
//
//   MODE[:UNIT[,UNIT...]][;MODE[:UNIT...]...]
//
// MODE is CR, LF or CRLF in any case. A group without units applies to
// every unit; the last group that applies to `unit` decides. Blanks around
// the parts are allowed. A malformed group (unknown mode, a unit that is
// not a decimal integer) is skipped. The console unit is -1, so "LF:-1"
// gives the console line feeds and leaves the files with CR LF.
std::string terminator_for_unit(std::string_view setting, int unit);

// The terminator of `unit` under the current environment.
std::string record_terminator(int unit);

} // namespace sshsum
