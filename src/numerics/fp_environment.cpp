#include "numerics/fp_environment.hpp"

#include "numerics/processor_level.hpp"
#include "platform/processor_identification.hpp"
#include "platform/processor_state.hpp"

namespace sshsum {

namespace {

// The level from which the start-up request takes effect.
constexpr unsigned kModesLevel = 128;

// x87 masks that step 3 sets: invalid (bit 0), divide-by-zero (2), overflow
// (3), underflow (4), precision (5). The denormal mask (bit 1) is left alone.
constexpr std::uint16_t kX87MasksButDenormal = 0x003D;

} // namespace

std::uint32_t processor_modes_mxcsr(std::uint32_t mxcsr, unsigned request,
                                    unsigned level, std::uint32_t mxcsr_mask) {
  if (level < kModesLevel)
    return mxcsr;
  if ((request & kRequestDenormalsAreZero) &&
      !(mxcsr_mask & kMxcsrDenormalsAreZero))
    request &= ~kRequestDenormalsAreZero;
  if (request & kRequestFlushToZero)
    mxcsr |= kMxcsrFlushToZero;
  if (request & kRequestDenormalsAreZero)
    mxcsr |= kMxcsrDenormalsAreZero;
  return mxcsr;
}

void init_processor_modes(unsigned request) {
  const unsigned level = current_processor_level();
  if (level < kModesLevel)
    return;
  // FXSAVE only when its answer matters.
  const std::uint32_t mask =
      (request & kRequestDenormalsAreZero) ? read_mxcsr_mask() : 0;
  const std::uint32_t before = read_mxcsr();
  const std::uint32_t after =
      processor_modes_mxcsr(before, request, level, mask);
  if (after != before)
    write_mxcsr(after);
}

void set_x87_precision(std::uint16_t control) {
  std::uint16_t p = control & kX87Precision;
  if (p == 0x0100) // reserved encoding
    p = kX87Precision64;
  const std::uint16_t word = read_x87_control_word();
  write_x87_control_word(
      static_cast<std::uint16_t>((word & ~kX87Precision) | p));
}

void prepare_floating_point_environment() {
  // Step 1: the process start leaves rounding to nearest with every x87
  // exception masked; the significand goes down to 53 bits here.
  set_x87_precision(kX87Precision53);
  clear_x87_exception_flags();

  // Step 2: classify the processor; request 0 changes nothing.
  init_processor_modes(0);

  // Step 3: flags cleared, exceptions masked, both SSE modes off.
  clear_x87_exception_flags();
  write_x87_control_word(static_cast<std::uint16_t>(read_x87_control_word() |
                                                    kX87MasksButDenormal));
  std::uint32_t mxcsr = read_mxcsr();
  mxcsr &= ~(kMxcsrFlags | kMxcsrDenormalsAreZero | kMxcsrFlushToZero);
  mxcsr |= kMxcsrMasks;
  write_mxcsr(mxcsr);
}

void start_analysis_modes() {
  init_processor_modes(kRequestFlushToZero | kRequestDenormalsAreZero);
  write_mxcsr(read_mxcsr() | kMxcsrFlushToZero);
}

} // namespace sshsum
