#pragma once

#include "input/conversion_path.hpp"

#include <cstddef>

namespace sshsum {

// Status of a decimal conversion.
inline constexpr int kConversionOk = 0;
inline constexpr int kConversionMalformed = 3; // text not of an accepted form
inline constexpr int kConversionTooLarge = 8;  // magnitude beyond binary64

struct Binary64Conversion {
  double value;
  int status;
};

// Turns the text of one numeric token (at least one byte; no blank, comma or
// asterisk) into a binary64 value. `decimal_point` is the reader's flag that
// the token holds a "."; it does not change the result.
Binary64Conversion text_to_binary64(const char *text, std::size_t length,
                                    bool decimal_point) noexcept;

// The same conversion, also telling which path produced the value.
struct TracedConversion {
  Binary64Conversion result;
  ConversionPath path;
};
TracedConversion text_to_binary64_traced(const char *text,
                                         std::size_t length) noexcept;

} // namespace sshsum
