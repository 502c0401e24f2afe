#include "numerics/binary128_nan.hpp"

#include "numerics/binary128_fields.hpp"

namespace sshsum {

Binary128 quiet_nan128(Binary128 x) {
  x.hi |= kBinary128QuietBit;
  return x;
}

Binary128 propagate_nan128(Binary128 a, Binary128 b) {
  if (!is_nan(b))
    return quiet_nan128(a);
  if (!is_nan(a))
    return quiet_nan128(b);
  const bool a_signaling = is_signaling_nan(a);
  if (a_signaling != is_signaling_nan(b))
    return quiet_nan128(a_signaling ? b : a);
  // Same kind: compare the 112-bit fields as unsigned numbers, high word
  // first.
  const std::uint64_t a_hi = a.hi & kBinary128FractionHi;
  const std::uint64_t b_hi = b.hi & kBinary128FractionHi;
  if (a_hi != b_hi)
    return quiet_nan128(a_hi > b_hi ? a : b);
  if (a.lo != b.lo)
    return quiet_nan128(a.lo > b.lo ? a : b);
  // Equal fields: the negative one; the second when the signs agree.
  if (sign_of(a) && !sign_of(b))
    return quiet_nan128(a);
  return quiet_nan128(b);
}

} // namespace sshsum
