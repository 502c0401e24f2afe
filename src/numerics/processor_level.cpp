#include "numerics/processor_level.hpp"

#include <string_view>

namespace sshsum {

namespace {

bool has(std::uint32_t word, std::uint32_t bits) {
  return (word & bits) == bits;
}

unsigned family6_level(const CpuIdentification &id) {
  const std::uint32_t ecx = id.leaf1_ecx;
  const std::uint32_t edx = id.leaf1_edx;
  unsigned level = has(edx, kEdxMmx) ? 16 : 4;
  if (has(edx, kEdxFxsr)) {
    level = has(edx, kEdxSse) ? 128 : 32;
    // Each test that applies replaces the value; the order is part of the
    // rule (MOVBE before SSE4.1, so a processor with both rates 8192 unless
    // a later test applies).
    if (has(edx, kEdxSse2))
      level = 1024;
    if (has(ecx, kEcxSse3))
      level = 2048;
    if (has(ecx, kEcxSsse3))
      level = 4096;
    if (has(ecx, kEcxMovbe))
      level = 16384;
    if (has(ecx, kEcxSse41))
      level = 8192;
    if (has(ecx, kEcxSse42 | kEcxPopcnt))
      level = 32768;
    if (has(ecx, kEcxAes | kEcxPclmulqdq))
      level = 65536;
  }
  if (has(ecx, kEcxAvx | kEcxOsxsave) && (id.xcr0 & kXcr0XmmYmm) == kXcr0XmmYmm)
    level = 131072;
  return level;
}

} // namespace

unsigned processor_level(const CpuIdentification &id) {
  constexpr std::string_view kIntel = "GenuineIntel";
  const std::string_view vendor(id.vendor.data(), id.vendor.size());
  if (!id.cpuid_available || id.highest_standard_leaf == 0 || vendor != kIntel)
    return 1;
  switch ((id.leaf1_eax >> 8) & 0xF) {
  case 5:
    return has(id.leaf1_edx, kEdxMmx) ? 8 : 2;
  case 6:
    return family6_level(id);
  case 15:
    if (has(id.leaf1_ecx, kEcxSse3))
      return 2048;
    return has(id.leaf1_edx, kEdxSse2) ? 512 : 1;
  default:
    return 1;
  }
}

unsigned current_processor_level() {
  // 0 means not yet computed. The program runs its floating-point set-up on
  // one thread, so a plain static is enough.
  static unsigned level = 0;
  if (level == 0)
    level = processor_level(read_cpu_identification());
  return level;
}

} // namespace sshsum
