#include "numerics/binary128_arith.hpp"

#include "numerics/binary128_fields.hpp"
#include "numerics/binary128_nan.hpp"
#include "platform/processor_state.hpp"

#include <bit>
#include <cstdint>

namespace sshsum {

namespace {

constexpr std::uint64_t kBinary64Fraction = (1ull << 52) - 1;
constexpr std::uint64_t kBinary64QuietBit = 1ull << 51;
constexpr std::uint32_t kBinary64MaxExponent = 0x7FF;
// Exponent bias difference (16383 - 1023) and the subnormal base: a
// subnormal whose highest fraction bit is k has the value 2^(k - 1074),
// biased 16383 + k - 1074 = 15309 + k.
constexpr std::uint32_t kRebias = 15360;
constexpr std::uint32_t kSubnormalBase = 15309;

// The software binary128 addition of the compiler's run-time library reads
// the rounding-control field of MXCSR: it rounds toward zero when MXCSR says
// so. The library found here ignores flush-to-zero and denormals-are-zero,
// but nothing promises that. So the addition runs under an MXCSR with the
// rounding field at nearest and, wherever a subnormal operand or result is
// possible at all, with both modes off as well: the result is the IEEE
// round-to-nearest sum with gradual underflow whatever the caller's MXCSR.
constexpr std::uint32_t kMxcsrModes =
    kMxcsrDenormalsAreZero | kMxcsrFlushToZero;

// Two finite operands of biased exponent 114 or more have a nonzero sum of
// at least 2^(114 - 16383 - 112) = 2^-16381 (both are multiples of that
// smaller operand's unit in the last place): no subnormal operand, no
// subnormal result, nothing for the modes to act on.
constexpr std::uint32_t kNoTinyExponent = 114;

// The compiler's binary128 addition (a software routine on this target) for
// two finite nonzero operands, rounded once to nearest with ties to even.
// The status flags it raises are kept.
Binary128 finite_sum(Binary128 a, Binary128 b) {
  __float128 x = std::bit_cast<__float128>(a);
  __float128 y = std::bit_cast<__float128>(b);
  const bool tiny_possible = biased_exponent(a) < kNoTinyExponent ||
                             biased_exponent(b) < kNoTinyExponent;
  const std::uint32_t caller = read_mxcsr();
  const std::uint32_t ieee =
      caller & ~(kMxcsrRounding | (tiny_possible ? kMxcsrModes : 0u));
  if (caller != ieee)
    write_mxcsr(ieee);
  // The empty volatile statements pin the addition (a call the compiler
  // may treat as free of side effects) between the two MXCSR writes.
  __asm__ __volatile__("" : "+x"(x), "+x"(y));
  __float128 sum = x + y;
  __asm__ __volatile__("" : "+x"(sum));
  if (caller != ieee)
    write_mxcsr(caller | (read_mxcsr() & kMxcsrFlags));
  return std::bit_cast<Binary128>(sum);
}

} // namespace

Binary128 widen_to_binary128(double x) {
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(x);
  const std::uint64_t sign = bits & (1ull << 63);
  const std::uint32_t e = static_cast<std::uint32_t>(bits >> 52) & 0x7FF;
  std::uint64_t f = bits & kBinary64Fraction;

  std::uint32_t exponent;
  if (e == kBinary64MaxExponent) {
    if (f != 0) // a NaN leaves quiet
      f |= kBinary64QuietBit;
    exponent = kBinary128MaxExponent;
  } else if (e != 0) {
    exponent = e + kRebias;
  } else if (f == 0) {
    return Binary128{0, sign};
  } else {
    // Subnormal: normalise so that the highest set bit stands at bit 52,
    // then drop it (it becomes the implicit bit).
    const int k = 63 - std::countl_zero(f);
    f = (f << (52 - k)) & kBinary64Fraction;
    exponent = kSubnormalBase + static_cast<std::uint32_t>(k);
  }
  // f * 2^60 in the 112-bit field: its top 48 bits end `hi`, its low 4 bits
  // head `lo`.
  return Binary128{(f & 0xF) << 60,
                   sign | (std::uint64_t{exponent} << 48) | (f >> 4)};
}

Binary128 binary128_add(Binary128 a, Binary128 b) {
  if (is_nan(a) || is_nan(b))
    return propagate_nan128(a, b);
  if (is_infinity(a)) {
    if (is_infinity(b) && sign_of(a) != sign_of(b))
      return kDefaultNaN128;
    return a;
  }
  if (is_infinity(b))
    return b;
  if (is_zero(a)) {
    if (is_zero(b))
      return sign_of(a) == sign_of(b) ? a : positive_zero128();
    return b;
  }
  if (is_zero(b))
    return a;
  const Binary128 sum = finite_sum(a, b);
  // Two nonzero finite operands give zero only by exact cancellation, which
  // is +0 when rounding to nearest.
  return is_zero(sum) ? positive_zero128() : sum;
}

} // namespace sshsum
