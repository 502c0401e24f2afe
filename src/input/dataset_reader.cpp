#include "input/dataset_reader.hpp"

#include "input/list_read.hpp"
#include "io/errors.hpp"
#include "io/units.hpp"

namespace sshsum {

int read_dataset_from(ByteSource source, DatasetArray &array,
                      std::size_t block) {
  RecordInput in(source, block);
  for (int j = 1; j <= kRecordCount; ++j) {
    if (const int error = read_column(in, array.column(j)))
      return error;
  }
  return 0;
}

namespace {

long read_from_unit(void *unit, char *buffer, std::size_t capacity) {
  return read_unit(*static_cast<UnitRecord *>(unit), buffer, capacity);
}

} // namespace

void read_dataset(UnitRecord &unit, DatasetArray &array) {
  const int error = read_dataset_from(ByteSource{read_from_unit, &unit}, array);
  if (error == kErrorWorkMemory)
    raise_error(error); // its message names no unit
  if (error != 0)
    raise_io_error(unit, error);
}

} // namespace sshsum
