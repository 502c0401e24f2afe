#include "report/binary_operand.hpp"

#include "report/decimal_digits.hpp"

#include <bit>
#include <cstring>

namespace sshsum {
namespace {

// Sets the significand hi:lo (nonzero) whose lowest bit weighs 2^exponent,
// shifted so that its top bit is bit 63 of word[0].
void normalize(BinaryOperand &op, std::uint64_t hi, std::uint64_t lo,
               int exponent) {
  if (hi == 0) { // move lo up one word
    hi = lo;
    lo = 0;
    exponent -= 64;
  }
  const int shift = std::countl_zero(hi);
  if (shift != 0) {
    hi = (hi << shift) | (lo >> (64 - shift));
    lo <<= shift;
  }
  exponent -= shift;
  op.word[0] = hi;
  op.word[1] = lo;
  op.words = 2;
  op.exponent = exponent; // S = hi * 2^64 + lo
  if (lo == 0) {          // S = hi * 2^64: keep hi alone
    op.words = 1;
    op.exponent += 64;
  }
}

} // namespace

BinaryOperand unpack_operand(double x) {
  std::uint64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  BinaryOperand op;
  op.sign = static_cast<int>(bits >> 63);
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  const std::uint64_t fraction = bits & ((std::uint64_t(1) << 52) - 1);
  if (biased == 0x7FF) {
    op.kind = fraction != 0 ? kKindNaN : kKindInfinity;
  } else if (biased == 0) {
    op.kind = fraction != 0 ? kKindSubnormal : kKindZero;
    if (fraction != 0)
      normalize(op, 0, fraction, -1074);
  } else {
    op.kind = kKindNormal;
    normalize(op, 0, fraction | (std::uint64_t(1) << 52), biased - 1075);
  }
  return op;
}

BinaryOperand unpack_operand(const Binary128 &x) {
  BinaryOperand op;
  op.sign = static_cast<int>(x.hi >> 63);
  const int biased = static_cast<int>((x.hi >> 48) & 0x7FFF);
  const std::uint64_t fraction_hi = x.hi & ((std::uint64_t(1) << 48) - 1);
  const bool fraction_nonzero = fraction_hi != 0 || x.lo != 0;
  if (biased == 0x7FFF) {
    op.kind = fraction_nonzero ? kKindNaN : kKindInfinity;
  } else if (biased == 0) {
    op.kind = fraction_nonzero ? kKindSubnormal : kKindZero;
    if (fraction_nonzero)
      normalize(op, fraction_hi, x.lo, -16382 - 112);
  } else {
    op.kind = kKindNormal;
    normalize(op, fraction_hi | (std::uint64_t(1) << 48), x.lo,
              biased - 16383 - 112);
  }
  return op;
}

} // namespace sshsum
