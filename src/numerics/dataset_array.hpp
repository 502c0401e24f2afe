#pragma once

namespace sshsum {

inline constexpr int kValuesPerRecord = 120; // i = 1..120
inline constexpr int kRecordCount = 64;      // j = 1..64
inline constexpr int kDatasetSize = kValuesPerRecord * kRecordCount;

// 120 x 64 binary64 values. Element (i, j) is value i of record j; storage
// order visits the records j = 1..64 and, within a record, i = 1..120, and
// the values of one record are contiguous. Starts as all +0.0.
struct DatasetArray {
  double values[kRecordCount][kValuesPerRecord] = {};

  double &at(int i, int j) { return values[j - 1][i - 1]; }
  double at(int i, int j) const { return values[j - 1][i - 1]; }
  // The 7,680 values in storage order.
  double *data() { return &values[0][0]; }
  const double *data() const { return &values[0][0]; }
  // The 120 values of record column j (1..64).
  double *column(int j) { return values[j - 1]; }
};

} // namespace sshsum
