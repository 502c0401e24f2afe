#pragma once

// Sets the x87 precision control (and rounding control, nearest unless
// given) for the life of one object and restores the whole control word
// afterwards.

#include "platform/processor_state.hpp"

#include <cstdint>

namespace sshsum::testing {

class X87PrecisionGuard {
public:
  explicit X87PrecisionGuard(std::uint16_t precision,
                             std::uint16_t rounding = 0)
      : saved_(read_x87_control_word()) {
    write_x87_control_word(static_cast<std::uint16_t>(
        (saved_ & ~(kX87Precision | kX87Rounding)) | precision | rounding));
  }
  ~X87PrecisionGuard() { write_x87_control_word(saved_); }
  X87PrecisionGuard(const X87PrecisionGuard &) = delete;
  X87PrecisionGuard &operator=(const X87PrecisionGuard &) = delete;

private:
  std::uint16_t saved_;
};

} // namespace sshsum::testing
