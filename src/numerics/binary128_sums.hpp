#pragma once

// The two binary128 sums of the report: each value is widened exactly to
// binary128 and added to a binary128 accumulator that starts at +0, one
// value at a time (accumulator first, widened value second), with no
// reassociation and no partial sums.

#include "numerics/binary128.hpp"
#include "numerics/dataset_array.hpp"
#include "run/sum_results.hpp"

namespace sshsum {

// Position-major order: i = 1..120 outer, j = 1..64 inner.
Binary128 position_major_sum128(const DatasetArray &data);

// Storage order: j = 1..64 outer, i = 1..120 inner.
Binary128 storage_order_sum128(const DatasetArray &data);

// Fills `sum_row_16` (position-major), then `sum_col_16` (storage order).
void compute_binary128_sums(const DatasetArray &ssh, SumResults &results);

} // namespace sshsum
