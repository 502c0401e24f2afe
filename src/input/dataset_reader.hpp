#pragma once

// The dataset reader: 64 list-directed reads, read j filling record column
// j (elements (1, j) to (120, j)) of a DatasetArray.

#include "input/record_input.hpp"
#include "numerics/dataset_array.hpp"

#include <cstddef>

namespace sshsum {

struct UnitRecord;

// The reader over any byte source: reads j = 1..64 in order. Returns 0 when
// all 64 succeeded, else the error number of the failing read (24, 39, 59,
// 64, 41, 98) with every element stored before the error kept in `array`.
// `block` is the first size of the read-ahead buffer.
int read_dataset_from(ByteSource source, DatasetArray &array,
                      std::size_t block = kReadAheadBlock);

// The reader over unit 2 (open, positioned at the start of its file).
// Returns only when all 64 reads succeeded; an error ends the run with its
// report naming the unit and its file.
void read_dataset(UnitRecord &unit, DatasetArray &array);

} // namespace sshsum
