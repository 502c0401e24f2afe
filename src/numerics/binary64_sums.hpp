#pragma once

// The binary64 sums of the report. Every one is a four-way interleaved sum
// of the 7,680 values in some visiting order s(0..7679):
//   1. P0 = P1 = P2 = P3 = +0.0;
//   2. for n = 0..7679: P(n mod 4) <- P(n mod 4) + s(n);
//   3. A <- P0 + P2, B <- P1 + P3;
//   4. the result is A + B.
// Each addition is one SSE2 binary64 addition under the current MXCSR:
// rounding to nearest, flush-to-zero and denormals-are-zero exactly as the
// run has set them. Nothing is fused, reassociated or carried wider.

#include "numerics/dataset_array.hpp"
#include "run/sum_results.hpp"

namespace sshsum {

enum class VisitingOrder {
  storage,            // records j = 1..64; in each, i = 1..120
  records_reversed,   // records j = 64..1; in each, i = 1..120
  positions_reversed, // records j = 1..64; in each, i = 120..1
};

double interleaved_sum(const DatasetArray &data, VisitingOrder order);

// Storage order, s(n) = the value when it compares greater than zero,
// otherwise +0.0 (so +0.0, -0.0 and NaN contribute +0.0, and under
// denormals-are-zero so does a subnormal).
double interleaved_sum_positive(const DatasetArray &data);

// Storage order, s(n) = the value when it compares less than zero,
// otherwise +0.0.
double interleaved_sum_negative(const DatasetArray &data);

// The seven sums over `ssh`, in this order: sum_row, sum_row_reverse,
// sum_col, sum_col_reverse, sum_plus, sum_minus, then sum_plus_minus as the
// single addition sum_plus + sum_minus.
void compute_binary64_sums(const DatasetArray &ssh, SumResults &results);

// The two sums over the second reading: sum_row_10, then sum_col_10, both
// in storage order.
void compute_extended_sums(const DatasetArray &ssh_ext, SumResults &results);

} // namespace sshsum
