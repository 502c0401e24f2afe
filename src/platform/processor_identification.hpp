#pragma once

// What the processor says about itself: the outputs of the identification
// instruction (CPUID), the operating system's extended-state register (XCR0)
// and the MXCSR capability mask that FXSAVE stores. The classification of
// these outputs lives in numerics/processor_level.hpp and never reads the
// processor itself, so that recorded outputs of other processors can be fed
// to it.

#include <array>
#include <cstdint>

namespace sshsum {

struct CpuIdentification {
  bool cpuid_available = false;
  std::array<char, 12> vendor = {};        // leaf 0: EBX, EDX, ECX as bytes
  std::uint32_t highest_standard_leaf = 0; // leaf 0: EAX
  std::uint32_t leaf1_eax = 0;             // version: family in bits 8..11
  std::uint32_t leaf1_ecx = 0;             // feature flags
  std::uint32_t leaf1_edx = 0;             // feature flags
  std::uint64_t xcr0 = 0; // read only when leaf 1 reports OSXSAVE, else 0
};

// Leaf 1 feature bits that the classification looks at.
inline constexpr std::uint32_t kEdxMmx = 1u << 23;
inline constexpr std::uint32_t kEdxFxsr = 1u << 24;
inline constexpr std::uint32_t kEdxSse = 1u << 25;
inline constexpr std::uint32_t kEdxSse2 = 1u << 26;
inline constexpr std::uint32_t kEcxSse3 = 1u << 0;
inline constexpr std::uint32_t kEcxPclmulqdq = 1u << 1;
inline constexpr std::uint32_t kEcxSsse3 = 1u << 9;
inline constexpr std::uint32_t kEcxSse41 = 1u << 19;
inline constexpr std::uint32_t kEcxSse42 = 1u << 20;
inline constexpr std::uint32_t kEcxMovbe = 1u << 22;
inline constexpr std::uint32_t kEcxPopcnt = 1u << 23;
inline constexpr std::uint32_t kEcxAes = 1u << 25;
inline constexpr std::uint32_t kEcxOsxsave = 1u << 27;
inline constexpr std::uint32_t kEcxAvx = 1u << 28;
// XCR0: the operating system saves the XMM (bit 1) and YMM (bit 2) state.
inline constexpr std::uint64_t kXcr0XmmYmm = 0x6;

// Reads leaves 0 and 1 and, when the operating system has enabled XSAVE,
// XCR0, from the processor this code runs on.
CpuIdentification read_cpu_identification();

// Saves the floating-point and SSE state with FXSAVE into a zeroed 512-byte
// area and returns its MXCSR_MASK field (bytes 28..31): the MXCSR bits this
// processor accepts. Zero means the processor predates the field.
std::uint32_t read_mxcsr_mask();

// Clears the x87 exception flags of the status word (FNCLEX).
void clear_x87_exception_flags();

// The x87 status word (FNSTSW); its low six bits are the exception flags.
std::uint16_t read_x87_status_word();

} // namespace sshsum
