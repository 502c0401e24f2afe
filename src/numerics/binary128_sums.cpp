#include "numerics/binary128_sums.hpp"

#include "numerics/binary128_arith.hpp"

namespace sshsum {

Binary128 position_major_sum128(const DatasetArray &data) {
  Binary128 sum{};
  for (int i = 1; i <= kValuesPerRecord; ++i)
    for (int j = 1; j <= kRecordCount; ++j)
      sum = binary128_add(sum, widen_to_binary128(data.at(i, j)));
  return sum;
}

Binary128 storage_order_sum128(const DatasetArray &data) {
  Binary128 sum{};
  for (int j = 1; j <= kRecordCount; ++j)
    for (int i = 1; i <= kValuesPerRecord; ++i)
      sum = binary128_add(sum, widen_to_binary128(data.at(i, j)));
  return sum;
}

void compute_binary128_sums(const DatasetArray &ssh, SumResults &results) {
  results.sum_row_16 = position_major_sum128(ssh);
  results.sum_col_16 = storage_order_sum128(ssh);
}

} // namespace sshsum
