// Binary128 widening and addition on arbitrary operand bits and under
// arbitrary MXCSR modes (flush-to-zero, denormals-are-zero, rounding
// control). Checks:
//   - widening is exact: narrowing the result back gives the same binary64
//     (NaNs: quiet, payload kept);
//   - without NaNs, the sum is the round-to-nearest sum of the compiler's
//     binary128 arithmetic run under the IEEE default MXCSR, except for the
//     default NaN of opposite infinities, and the operand order does not
//     matter;
//   - with a NaN, the result is one of the operands with its quiet bit set;
//   - the caller's MXCSR modes come back unchanged.

#include "numerics/binary128_arith.hpp"
#include "numerics/binary128_fields.hpp"
#include "numerics/binary128_nan.hpp"
#include "platform/processor_identification.hpp"
#include "platform/processor_state.hpp"

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>

using namespace sshsum;

namespace {

void check(bool ok) {
  if (!ok)
    std::abort();
}

Binary128 ieee_sum(Binary128 a, Binary128 b) {
  const std::uint32_t caller = read_mxcsr();
  write_mxcsr(kMxcsrMasks);
  __float128 x = std::bit_cast<__float128>(a);
  __float128 y = std::bit_cast<__float128>(b);
  __asm__ __volatile__("" : "+x"(x), "+x"(y));
  __float128 s = x + y;
  __asm__ __volatile__("" : "+x"(s));
  write_mxcsr(caller);
  return std::bit_cast<Binary128>(s);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data,
                                      std::size_t size) {
  if (size < 33)
    return 0;
  static const bool daz_ok = (read_mxcsr_mask() & kMxcsrDenormalsAreZero) != 0;
  Binary128 a, b;
  std::memcpy(&a, data, 16);
  std::memcpy(&b, data + 16, 16);
  const std::uint8_t modes = data[32];
  std::uint32_t mxcsr = kMxcsrMasks | ((modes & 3u) << 13);
  if (modes & 4)
    mxcsr |= kMxcsrFlushToZero;
  if ((modes & 8) && daz_ok)
    mxcsr |= kMxcsrDenormalsAreZero;
  // Operands drawn from binary64 values half of the time, as in the sums.
  if (modes & 16) {
    double x, y;
    std::memcpy(&x, data, 8);
    std::memcpy(&y, data + 8, 8);
    a = widen_to_binary128(x);
    b = widen_to_binary128(y);
    const double back = static_cast<double>(std::bit_cast<__float128>(a));
    if (x == x)
      check(std::bit_cast<std::uint64_t>(back) ==
            std::bit_cast<std::uint64_t>(x));
    else
      check(is_nan(a) && !is_signaling_nan(a));
  }

  const std::uint32_t saved = read_mxcsr();
  write_mxcsr(mxcsr);
  const Binary128 sum = binary128_add(a, b);
  const Binary128 swapped = binary128_add(b, a);
  const std::uint32_t after = read_mxcsr();
  write_mxcsr(saved);
  check((after & ~kMxcsrFlags) == mxcsr);

  if (is_nan(a) || is_nan(b)) {
    check(is_nan(sum) && !is_signaling_nan(sum));
    check(sum == quiet_nan128(a) || sum == quiet_nan128(b));
    return 0;
  }
  if (is_infinity(a) && is_infinity(b) && sign_of(a) != sign_of(b)) {
    check(sum == kDefaultNaN128 && swapped == kDefaultNaN128);
    return 0;
  }
  check(sum == ieee_sum(a, b));
  check(swapped == sum);
  return 0;
}
