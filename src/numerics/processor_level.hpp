#pragma once

// The processor classification. Level 128 or more lets the start-up request
// for flush-to-zero and denormals-are-zero take effect; level 512 or more is
// where the binary128 additions would raise their flags in the SSE status
// register (nothing reads them).

#include "platform/processor_identification.hpp"

namespace sshsum {

// Classifies a processor from its identification outputs alone (no
// processor access), so that recorded outputs of any processor can be
// classified:
//   - no identification instruction, highest standard leaf 0, or a vendor
//     other than "GenuineIntel": 1;
//   - family field (leaf 1 EAX bits 8..11) 5: 2, or 8 with MMX;
//   - family 6: 4, or 16 with MMX; with FXSR 32, or 128 with SSE as well;
//     then, still only with FXSR, each of SSE2 -> 1024, SSE3 -> 2048,
//     SSSE3 -> 4096, MOVBE -> 16384, SSE4.1 -> 8192, SSE4.2 with POPCNT ->
//     32768, AES with PCLMULQDQ -> 65536 that applies replaces the value in
//     this order; finally, with or without FXSR, 131072 when AVX and OSXSAVE
//     are reported and XCR0 has the XMM and YMM state enabled;
//   - family 15: 512 with SSE2, otherwise 1; 2048 with SSE3;
//   - any other family: 1.
// Never returns 0, which the cache uses for "not yet computed".
unsigned processor_level(const CpuIdentification &id);

// The level of the processor this code runs on, computed on first use and
// kept.
unsigned current_processor_level();

} // namespace sshsum
