#pragma once

#include "numerics/binary128.hpp"

namespace sshsum {

// The results that the analysis computes and the report prints, in the
// order of the report's fields.
struct SumResults {
  double ssh_min = 0.0;
  double ssh_max = 0.0;
  double sum_row = 0.0;
  double sum_col = 0.0;
  double sum_row_reverse = 0.0;
  double sum_col_reverse = 0.0;
  double sum_plus = 0.0;
  double sum_minus = 0.0;
  double sum_plus_minus = 0.0;
  Binary128 sum_row_16;
  Binary128 sum_col_16;
  double sum_row_10 = 0.0;
  double sum_col_10 = 0.0;
};

} // namespace sshsum
