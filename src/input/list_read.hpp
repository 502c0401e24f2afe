#pragma once

// One list-directed read: 120 binary64 values in free form, spread over as
// many records as the read needs, with null values, repeat counts "r*",
// parenthesised pairs and an early stop by slash.

#include "input/record_input.hpp"
#include "numerics/dataset_array.hpp"

#include <cstdint>

namespace sshsum {

// What one scan of the input yields.
struct ListItem {
  enum Kind { kNull, kNumber, kSlash } kind = kNull;
  double value = 0.0;      // the converted number (kNumber)
  std::int32_t repeat = 1; // elements that take the item, at least 1
};

// The state of one read, created cleared when the read starts.
struct ListReadState {
  std::int32_t remaining_repeat = 0; // further elements taking current_item
  ListItem current_item;
  bool comma_seen = false;         // a separating comma since the element began
  bool new_record = true;          // moved into a new record since then
  bool data_seen = false;          // a non-blank byte since the read started
  bool crossed_after_data = false; // a record end passed after data
  bool slash_seen = false;         // a slash has ended the read
  bool pair_open = false;          // a "(" has opened a pair
  bool decimal_point = false;      // the current number holds a "."
  // Stands in for the look-back over the current record: whether the nearest
  // non-blank byte before the position in the current record is a comma
  // (false at the start of a record, which counts as a blank).
  bool last_nonblank_comma = false;
};

// Scans the next item of the read (skipping blanks and record ends first).
// Returns 0 or the error number that ends the read.
int scan_item(RecordInput &in, ListReadState &state, ListItem &item);

// One list-directed read into `column` (120 elements): starts at the next
// record, stores each value as it is read and leaves null elements and
// those after a slash unchanged. Returns 0, or the error number, with the
// elements stored before the error kept.
int read_column(RecordInput &in, double *column);

} // namespace sshsum
