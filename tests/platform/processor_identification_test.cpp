#include "platform/processor_identification.hpp"

#include "numerics/fp_state_guard.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace sshsum {
namespace {

// The first processor's entry of /proc/cpuinfo: the kernel's own reading of
// the same identification instruction, an outside oracle.
struct CpuInfo {
  std::string vendor;
  std::set<std::string> flags;
  bool found = false;
};

CpuInfo read_proc_cpuinfo() {
  CpuInfo info;
  std::ifstream in("/proc/cpuinfo");
  std::string line;
  while (std::getline(in, line)) {
    const auto colon = line.find(':');
    if (colon == std::string::npos)
      continue;
    std::string key = line.substr(0, colon);
    key.erase(key.find_last_not_of(" \t") + 1);
    const std::string value =
        colon + 2 <= line.size() ? line.substr(colon + 2) : "";
    if (key == "vendor_id" && info.vendor.empty())
      info.vendor = value;
    if (key == "flags" && !info.found) {
      std::istringstream words(value);
      for (std::string w; words >> w;)
        info.flags.insert(w);
      info.found = true;
    }
  }
  return info;
}

TEST(PlatformProcessorIdentification, AgreesWithTheKernel) {
  const CpuInfo info = read_proc_cpuinfo();
  if (!info.found)
    GTEST_SKIP() << "no /proc/cpuinfo";
  const CpuIdentification id = read_cpu_identification();
  ASSERT_TRUE(id.cpuid_available);
  EXPECT_GE(id.highest_standard_leaf, 1u);
  EXPECT_EQ(std::string(id.vendor.data(), id.vendor.size()), info.vendor);

  struct Flag {
    const char *name;
    bool ours;
  };
  const Flag flags[] = {
      {"mmx", (id.leaf1_edx & kEdxMmx) != 0},
      {"fxsr", (id.leaf1_edx & kEdxFxsr) != 0},
      {"sse", (id.leaf1_edx & kEdxSse) != 0},
      {"sse2", (id.leaf1_edx & kEdxSse2) != 0},
      {"pni", (id.leaf1_ecx & kEcxSse3) != 0},
      {"pclmulqdq", (id.leaf1_ecx & kEcxPclmulqdq) != 0},
      {"ssse3", (id.leaf1_ecx & kEcxSsse3) != 0},
      {"sse4_1", (id.leaf1_ecx & kEcxSse41) != 0},
      {"sse4_2", (id.leaf1_ecx & kEcxSse42) != 0},
      {"movbe", (id.leaf1_ecx & kEcxMovbe) != 0},
      {"popcnt", (id.leaf1_ecx & kEcxPopcnt) != 0},
      {"aes", (id.leaf1_ecx & kEcxAes) != 0},
  };
  for (const Flag &f : flags)
    EXPECT_EQ(f.ours, info.flags.count(f.name) == 1) << f.name;
  // The kernel saves the XMM state of every process; XCR0 shows it whenever
  // the processor lets us read XCR0 at all.
  if (id.leaf1_ecx & kEcxOsxsave)
    EXPECT_EQ(id.xcr0 & 0x3, 0x3u);
  else
    EXPECT_EQ(id.xcr0, 0u);
}

TEST(PlatformProcessorIdentification, CapabilityMaskCoversTheMxcsrFields) {
  // Every x86-64 processor accepts the flags, masks, rounding and
  // flush-to-zero fields; bit 6 (denormals-are-zero) depends on the part.
  const std::uint32_t mask = read_mxcsr_mask();
  EXPECT_EQ(mask & 0xFFBF, 0xFFBFu) << std::hex << mask;
}

TEST(PlatformProcessorIdentification, ClearsX87ExceptionFlags) {
  testing_support::FpStateGuard guard;
  write_x87_control_word(0x037F);
  volatile long double zero = 0.0L;
  volatile long double quotient = 1.0L / zero; // masked divide-by-zero
  (void)quotient;
  EXPECT_EQ(read_x87_status_word() & 0x04, 0x04);
  clear_x87_exception_flags();
  EXPECT_EQ(read_x87_status_word() & 0x3F, 0);
}

} // namespace
} // namespace sshsum
