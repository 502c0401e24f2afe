// Placeholder until the exact conversion lands: glibc's correctly rounded
// strtod, so that the reader can be built and tested on plain values.
#include "input/text_to_binary64.hpp"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace sshsum {

Binary64Conversion text_to_binary64(const char *text, std::size_t length,
                                    bool) noexcept {
  char buffer[512];
  if (length == 0 || length >= sizeof buffer)
    return {0.0, kConversionMalformed};
  std::memcpy(buffer, text, length);
  buffer[length] = '\0';
  for (std::size_t i = 0; i < length; ++i)
    if (buffer[i] == 'd' || buffer[i] == 'D' || buffer[i] == 'q' ||
        buffer[i] == 'Q')
      buffer[i] = 'e';
  char *end = nullptr;
  errno = 0;
  const double v = std::strtod(buffer, &end);
  if (end != buffer + length)
    return {0.0, kConversionMalformed};
  if (std::isinf(v) && errno == ERANGE)
    return {v, kConversionTooLarge};
  return {v, kConversionOk};
}

} // namespace sshsum
