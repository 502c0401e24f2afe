#include "numerics/processor_level.hpp"

#include <gtest/gtest.h>

#include <cstring>

namespace sshsum {
namespace {

CpuIdentification intel(std::uint32_t family, std::uint32_t ecx,
                        std::uint32_t edx, std::uint64_t xcr0 = 0) {
  CpuIdentification id;
  id.cpuid_available = true;
  std::memcpy(id.vendor.data(), "GenuineIntel", 12);
  id.highest_standard_leaf = 0xD;
  id.leaf1_eax = family << 8;
  id.leaf1_ecx = ecx;
  id.leaf1_edx = edx;
  id.xcr0 = xcr0;
  return id;
}

struct LevelCase {
  const char *row;
  CpuIdentification id;
  unsigned level;
};

constexpr std::uint32_t kFxsrSse = kEdxFxsr | kEdxSse;
constexpr std::uint32_t kAvxOs = kEcxAvx | kEcxOsxsave;

// Every row of the classification table, each rule with and without the
// feature that triggers it, expected levels read off the table by hand.
TEST(NumericsProcessorLevel, EveryRowOfTheTable) {
  const LevelCase cases[] = {
      {"family 5", intel(5, 0, 0), 2},
      {"family 5 + MMX", intel(5, 0, kEdxMmx), 8},
      {"family 6", intel(6, 0, 0), 4},
      {"family 6 + MMX", intel(6, 0, kEdxMmx), 16},
      {"family 6 + FXSR", intel(6, 0, kEdxFxsr), 32},
      {"family 6 + FXSR + MMX", intel(6, 0, kEdxFxsr | kEdxMmx), 32},
      {"family 6 + SSE without FXSR", intel(6, 0, kEdxSse | kEdxMmx), 16},
      {"family 6 + FXSR + SSE", intel(6, 0, kFxsrSse), 128},
      {"SSE2", intel(6, 0, kFxsrSse | kEdxSse2), 1024},
      {"SSE2 without SSE", intel(6, 0, kEdxFxsr | kEdxSse2), 1024},
      {"SSE2 without FXSR", intel(6, 0, kEdxSse | kEdxSse2), 4},
      {"SSE3", intel(6, kEcxSse3, kFxsrSse | kEdxSse2), 2048},
      {"SSSE3", intel(6, kEcxSse3 | kEcxSsse3, kFxsrSse), 4096},
      {"MOVBE", intel(6, kEcxSsse3 | kEcxMovbe, kFxsrSse), 16384},
      {"SSE4.1", intel(6, kEcxSsse3 | kEcxSse41, kFxsrSse), 8192},
      {"SSE4.1 replaces MOVBE", intel(6, kEcxMovbe | kEcxSse41, kFxsrSse),
       8192},
      {"SSE4.2 + POPCNT",
       intel(6, kEcxSse41 | kEcxSse42 | kEcxPopcnt, kFxsrSse), 32768},
      {"SSE4.2 without POPCNT", intel(6, kEcxSse41 | kEcxSse42, kFxsrSse),
       8192},
      {"POPCNT without SSE4.2", intel(6, kEcxSse41 | kEcxPopcnt, kFxsrSse),
       8192},
      {"AES + PCLMULQDQ", intel(6, kEcxAes | kEcxPclmulqdq, kFxsrSse), 65536},
      {"AES without PCLMULQDQ", intel(6, kEcxSse3 | kEcxAes, kFxsrSse), 2048},
      {"PCLMULQDQ without AES", intel(6, kEcxSse3 | kEcxPclmulqdq, kFxsrSse),
       2048},
      {"feature bits without FXSR", intel(6, kEcxSse42 | kEcxPopcnt, kEdxMmx),
       16},
      {"AVX, OSXSAVE, XCR0 = 7", intel(6, kAvxOs, kFxsrSse, 7), 131072},
      {"AVX without FXSR", intel(6, kAvxOs, 0, 6), 131072},
      {"AVX, XCR0 without YMM", intel(6, kAvxOs, kFxsrSse, 3), 128},
      {"AVX, XCR0 without XMM", intel(6, kAvxOs, kFxsrSse, 5), 128},
      {"AVX without OSXSAVE", intel(6, kEcxAvx, kFxsrSse, 7), 128},
      {"family 15", intel(15, 0, kFxsrSse), 1},
      {"family 15 + SSE2", intel(15, 0, kFxsrSse | kEdxSse2), 512},
      {"family 15 + SSE3", intel(15, kEcxSse3, kFxsrSse | kEdxSse2), 2048},
      {"family 15 + SSE3 without SSE2", intel(15, kEcxSse3, kFxsrSse), 2048},
      {"family 15 ignores AVX", intel(15, kAvxOs, kFxsrSse | kEdxSse2, 7), 512},
      {"family 4", intel(4, 0, kEdxMmx), 1},
      {"family 3", intel(3, 0, 0), 1},
      {"family 7", intel(7, kAvxOs, kFxsrSse | kEdxSse2, 7), 1},
  };
  for (const LevelCase &c : cases)
    EXPECT_EQ(processor_level(c.id), c.level) << c.row;
}

TEST(NumericsProcessorLevel, FamilyIsBits8To11Only) {
  // Extended family (bits 20..27) and model bits do not count: an Intel
  // part with base family 15 and extended family 4 rates as family 15.
  CpuIdentification id = intel(15, 0, kFxsrSse | kEdxSse2);
  id.leaf1_eax = 0x00400F21;
  EXPECT_EQ(processor_level(id), 512u);
  id.leaf1_eax = 0x000106A5; // family 6, extended model 1
  EXPECT_EQ(processor_level(id), 1024u);
}

TEST(NumericsProcessorLevel, OtherVendorsAndMissingLeavesRateOne) {
  CpuIdentification id = intel(6, kAvxOs, kFxsrSse | kEdxSse2, 7);
  ASSERT_EQ(processor_level(id), 131072u);

  CpuIdentification amd = id;
  std::memcpy(amd.vendor.data(), "AuthenticAMD", 12);
  EXPECT_EQ(processor_level(amd), 1u);
  CpuIdentification lower = id;
  std::memcpy(lower.vendor.data(), "genuineintel", 12);
  EXPECT_EQ(processor_level(lower), 1u);
  CpuIdentification no_leaves = id;
  no_leaves.highest_standard_leaf = 0;
  EXPECT_EQ(processor_level(no_leaves), 1u);
  CpuIdentification no_cpuid = id;
  no_cpuid.cpuid_available = false;
  EXPECT_EQ(processor_level(no_cpuid), 1u);
}

// Leaf 1 outputs (EAX, ECX, EDX) and XCR0 of real processors, with the
// level each earns by the table.
TEST(NumericsProcessorLevel, ProcessorsAsTheyReportThemselves) {
  struct Recorded {
    const char *name;
    std::uint32_t eax, ecx, edx;
    std::uint64_t xcr0;
    unsigned level;
  };
  const Recorded recorded[] = {
      // P5 with MMX: family 5, MMX.
      {"Pentium MMX", 0x00000543, 0x00000000, 0x008001BF, 0, 8},
      // P6 with SSE: FXSR + SSE, no SSE2.
      {"Pentium III", 0x00000673, 0x00000000, 0x0383FBFF, 0, 128},
      // NetBurst: family 15 with SSE2, later with SSE3.
      {"Pentium 4 (Northwood)", 0x00000F29, 0x00004400, 0xBFEBFBFF, 0, 512},
      {"Pentium 4 (Prescott)", 0x00000F41, 0x0000441D, 0xBFEBFBFF, 0, 2048},
      // Core 2: SSSE3, no SSE4.1.
      {"Core 2 (Merom)", 0x000006F6, 0x0000E3BD, 0xBFEBFBFF, 0, 4096},
      // Atom: SSSE3 and MOVBE, no SSE4.1.
      {"Atom N270", 0x000106C2, 0x0040E31D, 0xBFE9FBFF, 0, 16384},
      // Nehalem: SSE4.2 with POPCNT, no AES.
      {"Core i7-920", 0x000106A5, 0x0098E3BD, 0xBFEBFBFF, 0, 32768},
      // Sandy Bridge and Haswell: AVX with the OS saving YMM.
      {"Core i7-2600", 0x000206A7, 0x1FBAE3FF, 0xBFEBFBFF, 7, 131072},
      {"Core i7-4770", 0x000306C3, 0x7FFAFBFF, 0xBFEBFBFF, 7, 131072},
      // The same Sandy Bridge under an OS that does not save YMM: the last
      // applicable FXSR rule is AES + PCLMULQDQ.
      {"Core i7-2600, no YMM", 0x000206A7, 0x17BAE3FF, 0xBFEBFBFF, 0, 65536},
  };
  for (const Recorded &r : recorded) {
    CpuIdentification id = intel(0, r.ecx, r.edx, r.xcr0);
    id.leaf1_eax = r.eax;
    EXPECT_EQ(processor_level(id), r.level) << r.name;
  }
}

TEST(NumericsProcessorLevel, CurrentLevelIsTheClassificationOfThisProcessor) {
  const unsigned level = current_processor_level();
  EXPECT_NE(level, 0u);
  EXPECT_EQ(level, processor_level(read_cpu_identification()));
  EXPECT_EQ(current_processor_level(), level);
}

} // namespace
} // namespace sshsum
