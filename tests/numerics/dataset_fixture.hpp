#pragma once

// Datasets built in tests, with values placed by storage-order index
// n = 0..7679 or by (i, j).

#include "numerics/dataset_array.hpp"

#include <bit>
#include <cstdint>
#include <memory>

namespace sshsum::testing_support {

inline std::unique_ptr<DatasetArray> dataset_of(double value) {
  auto data = std::make_unique<DatasetArray>();
  for (int n = 0; n < kDatasetSize; ++n)
    data->data()[n] = value;
  return data;
}

inline std::uint64_t bits_of(double x) {
  return std::bit_cast<std::uint64_t>(x);
}

inline constexpr double kSmallestSubnormal = 0x1p-1074; // 4.9E-324
inline constexpr double kSmallestNormal = 0x1p-1022;

} // namespace sshsum::testing_support
