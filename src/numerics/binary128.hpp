#pragma once

#include <cstdint>

namespace sshsum {

// One IEEE 754 binary128 value in its 16-byte interchange layout, least
// significant byte first. On this little-endian machine `lo` holds the words
// W0 and W1 and `hi` the words W2 and W3: sign in bit 63 of `hi`, the 15-bit
// biased exponent (bias 16383) in bits 62..48, and the 112-bit trailing
// significand in the low 48 bits of `hi` followed by all of `lo`.
struct Binary128 {
  std::uint64_t lo = 0;
  std::uint64_t hi = 0;

  friend bool operator==(const Binary128 &, const Binary128 &) = default;
};

static_assert(sizeof(Binary128) == 16);

} // namespace sshsum
