#pragma once

// Direct access to the two floating-point control registers of an x86-64
// processor: the SSE control and status register (MXCSR) and the x87
// control word. Everything above this layer speaks in terms of these.

#include <cstdint>

namespace sshsum {

inline std::uint32_t read_mxcsr() {
  std::uint32_t value;
  __asm__ __volatile__("stmxcsr %0" : "=m"(value));
  return value;
}

inline void write_mxcsr(std::uint32_t value) {
  __asm__ __volatile__("ldmxcsr %0" : : "m"(value));
}

inline std::uint16_t read_x87_control_word() {
  std::uint16_t value;
  __asm__ __volatile__("fnstcw %0" : "=m"(value));
  return value;
}

inline void write_x87_control_word(std::uint16_t value) {
  __asm__ __volatile__("fldcw %0" : : "m"(value));
}

// MXCSR bits.
inline constexpr std::uint32_t kMxcsrFlags = 0x003F;
inline constexpr std::uint32_t kMxcsrDenormalsAreZero = 0x0040;
inline constexpr std::uint32_t kMxcsrMasks = 0x1F80;
inline constexpr std::uint32_t kMxcsrRounding = 0x6000;
inline constexpr std::uint32_t kMxcsrFlushToZero = 0x8000;

// x87 control word fields.
inline constexpr std::uint16_t kX87Masks = 0x003F;
inline constexpr std::uint16_t kX87Precision = 0x0300;
inline constexpr std::uint16_t kX87Precision53 = 0x0200;
inline constexpr std::uint16_t kX87Precision64 = 0x0300;
inline constexpr std::uint16_t kX87Rounding = 0x0C00;

} // namespace sshsum
