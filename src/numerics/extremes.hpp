#pragma once

// The largest and the smallest value of a dataset, under the SSE comparison
// semantics of the run (denormals-are-zero acts when MXCSR has it on).

#include "numerics/dataset_array.hpp"
#include "run/sum_results.hpp"

namespace sshsum {

// Two lanes visit the 7,680 values in storage order, L0 the even-numbered
// and L1 the odd-numbered ones, each starting at -Infinity; a value replaces
// its lane only when it compares greater (an ordered comparison: a NaN or an
// equal value, +0.0 against -0.0 included, leaves the lane). The result is
// L0 if L0 > L1, otherwise L1. Under denormals-are-zero a subnormal value
// compares as a zero of its sign and, when it wins, puts that zero into the
// lane.
double dataset_max(const DatasetArray &data);

// The mirror image: lanes start at +Infinity, a value replaces its lane when
// it compares less, the result is L0 if L0 < L1, otherwise L1.
double dataset_min(const DatasetArray &data);

// Fills `ssh_max`, then `ssh_min`.
void compute_extremes(const DatasetArray &ssh, SumResults &results);

} // namespace sshsum
