#pragma once

// The texts that open_unit is given: keyword values and the file name.

#include <cstddef>
#include <string>
#include <string_view>

namespace sshsum {

// A keyword value as it is compared: every letter upper-cased, trailing
// blanks dropped (at least one character stays), so "old", "OLD" and
// "old  " are all "OLD".
std::string keyword_value(std::string_view value);

// The longest file name a unit accepts.
inline constexpr std::size_t kMaxFileName = 256;

// Forms the file name from the first `length` bytes of `text`:
//   1. blanks at the start are skipped;
//   2. blanks and NULs at the end are dropped, one by one from the last
//      byte backwards (a dialog's buffer leaves its path, a cancelled
//      dialog's 260 zero bytes leave the empty name);
//   3. a NUL still inside the name ends it.
// The empty name stays empty; the open then fails with "file not found".
// Unlike a cut to the first 256 bytes, which could silently name another
// file, the whole text is looked at: `too_long` is set when the name has
// more than kMaxFileName characters, and the open refuses it.
struct FormedName {
  std::string name;
  bool too_long = false;
};
FormedName form_file_name(const char *text, std::size_t length);

} // namespace sshsum
