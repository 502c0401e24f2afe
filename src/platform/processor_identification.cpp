#include "platform/processor_identification.hpp"

#include <cpuid.h>
#include <cstring>

namespace sshsum {

CpuIdentification read_cpu_identification() {
  CpuIdentification id;
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  // Every x86-64 processor has the identification instruction; the flag
  // exists for the classification's sake.
  id.cpuid_available = true;
  __cpuid(0, eax, ebx, ecx, edx);
  id.highest_standard_leaf = eax;
  std::memcpy(id.vendor.data() + 0, &ebx, 4);
  std::memcpy(id.vendor.data() + 4, &edx, 4);
  std::memcpy(id.vendor.data() + 8, &ecx, 4);
  if (id.highest_standard_leaf >= 1) {
    __cpuid(1, eax, ebx, ecx, edx);
    id.leaf1_eax = eax;
    id.leaf1_ecx = ecx;
    id.leaf1_edx = edx;
  }
  // XGETBV faults unless the operating system has enabled XSAVE, which leaf
  // 1 reports as OSXSAVE.
  if (id.leaf1_ecx & kEcxOsxsave) {
    std::uint32_t lo = 0, hi = 0;
    __asm__ __volatile__("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
    id.xcr0 = (std::uint64_t{hi} << 32) | lo;
  }
  return id;
}

std::uint32_t read_mxcsr_mask() {
  alignas(16) unsigned char area[512];
  std::memset(area, 0, sizeof area);
  __asm__ __volatile__("fxsave %0" : "+m"(area));
  std::uint32_t mask;
  std::memcpy(&mask, area + 28, sizeof mask);
  return mask;
}

void clear_x87_exception_flags() { __asm__ __volatile__("fnclex"); }

std::uint16_t read_x87_status_word() {
  std::uint16_t status;
  __asm__ __volatile__("fnstsw %0" : "=m"(status));
  return status;
}

} // namespace sshsum
