#pragma once

#include "input/record_input.hpp"

#include <cstdint>

namespace sshsum {

// A scanned number token: a converted value, or a repeat count "r*".
struct NumberToken {
  bool repeat = false;    // the token ended at "*"; the position is on it
  double value = 0.0;     // the converted value (not a repeat)
  std::int32_t count = 0; // the repeat count as written (a repeat)
};

// Scans the number token that starts at the position, checking the byte
// rules of each byte, and converts it. Sets `decimal_point` when the token
// holds a ".". Returns 0, 59 (a byte rule), 64 (refused by the conversion,
// or a repeat count that is no 32-bit integer), 39 or 98. The position is
// left on the byte that ended the token.
int scan_number_token(RecordInput &in, bool &decimal_point, NumberToken &token);

} // namespace sshsum
