#pragma once

// The processor's floating-point state for the whole run. The binary64
// analysis (extremes and sums) runs in the SSE unit under MXCSR: rounding to
// nearest, every exception masked, flush-to-zero on, denormals-are-zero on
// only where the processor is rated at 128 or more and its MXCSR capability
// mask has bit 6. The x87 unit rounds to nearest and carries a 53-bit
// significand until the single switch to 64 bits before the second reading.
//
// The order of the run:
//   prepare_floating_point_environment()   start-up steps 1 to 3
//   start_analysis_modes()                 stage 1 (step 4)
//   set_x87_precision(0x0300)              stage 11 (step 5)

#include <cstdint>

namespace sshsum {

// Request bits of init_processor_modes.
inline constexpr unsigned kRequestFlushToZero = 1;
inline constexpr unsigned kRequestDenormalsAreZero = 2;

// The decision of init_processor_modes without any processor access: the
// MXCSR value that `request` turns `mxcsr` into on a processor of `level`
// whose capability mask is `mxcsr_mask`.
//   - level below 128: unchanged;
//   - denormals-are-zero is dropped from the request unless bit 6 of the
//     mask is set (a zero mask counts as no support);
//   - flush-to-zero (bit 15) and denormals-are-zero (bit 6) are then set as
//     requested; no bit is ever cleared.
std::uint32_t processor_modes_mxcsr(std::uint32_t mxcsr, unsigned request,
                                    unsigned level, std::uint32_t mxcsr_mask);

// Sets the requested modes (0 or 3; bit 0 flush-to-zero, bit 1
// denormals-are-zero) on this processor. Computes the processor level on
// first use; reads the capability mask through FXSAVE only when
// denormals-are-zero is requested and the level is 128 or more.
void init_processor_modes(unsigned request);

// Replaces only the precision-control field (bits 8..9) of the x87 control
// word with `control & 0x0300`; the reserved encoding 0x0100 is taken as
// 0x0300 (64-bit significand). Every other bit stays.
void set_x87_precision(std::uint16_t control);

// Start-up steps 1 to 3, before anything else runs:
//   1. x87 precision control to a 53-bit significand (a Linux process
//      starts at 64 bits, control word 0x037F), x87 exception flags
//      cleared;
//   2. init_processor_modes(0): classifies the processor, changes nothing;
//   3. exception flags of both units cleared; invalid, divide-by-zero,
//      overflow, underflow and inexact masked in both units (the x87
//      denormal mask is left as it is, all six SSE masks set); flush-to-zero
//      and denormals-are-zero cleared. Rounding and precision control stay.
void prepare_floating_point_environment();

// Stage 1 of the run (step 4): init_processor_modes(3), then flush-to-zero
// set once more without condition.
void start_analysis_modes();

} // namespace sshsum
