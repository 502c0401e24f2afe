#pragma once

// The check that the reader fuzzer runs on every input, shared with the test
// that replays the fuzzer's corpus (built there without libFuzzer).
//
// The reader must give the same outcome however the file arrives: the input
// is read once through a large buffer in one piece, and again through a
// buffer of a few bytes fed in chunks of 1 to 7 bytes, which drives every
// refill, pinned token, carriage-return run and buffer growth. The error
// number and every element (bit for bit) must agree. A third pass fails the
// read part-way: it must end with 39, or with the same outcome as the first
// pass when it got that far. Finally the conversion itself gets the input.

#include "input/dataset_reader.hpp"
#include "input/text_to_binary64.hpp"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

namespace sshsum::fuzzing {

struct MemorySource {
  const std::uint8_t *data;
  std::size_t size;
  std::size_t offset = 0;
  std::size_t chunk_seed = 0;     // 0: as much as asked for; else chunks 1..7
  std::size_t fail_at = SIZE_MAX; // a read starting at or after it fails
  std::size_t calls = 0;
};

inline long read_memory(void *context, char *buffer, std::size_t capacity) {
  auto &source = *static_cast<MemorySource *>(context);
  if (source.offset >= source.fail_at)
    return -1;
  std::size_t count = source.size - source.offset;
  if (count > capacity)
    count = capacity;
  if (source.chunk_seed != 0) {
    const std::size_t chunk = 1 + (source.chunk_seed + source.calls) % 7;
    if (count > chunk)
      count = chunk;
  }
  ++source.calls;
  std::memcpy(buffer, source.data + source.offset, count);
  source.offset += count;
  return static_cast<long>(count);
}

struct ReaderOutcome {
  int error;
  std::unique_ptr<DatasetArray> array;
};

inline ReaderOutcome read_memory_dataset(MemorySource source,
                                         std::size_t block) {
  ReaderOutcome outcome{0, std::make_unique<DatasetArray>()};
  outcome.error = read_dataset_from(ByteSource{read_memory, &source},
                                    *outcome.array, block);
  return outcome;
}

inline bool same_outcome(const ReaderOutcome &a, const ReaderOutcome &b) {
  return a.error == b.error && std::memcmp(a.array->data(), b.array->data(),
                                           sizeof(double) * kDatasetSize) == 0;
}

// Returns an empty text when every check holds, else what failed.
inline std::string check_reader_input(const std::uint8_t *data,
                                      std::size_t size) {
  const std::size_t seed = size > 0 ? data[0] : 0;
  const ReaderOutcome whole = read_memory_dataset({data, size}, 1 << 16);
  const ReaderOutcome chunked =
      read_memory_dataset({data, size, 0, 1 + seed % 7}, 2 + seed % 5);
  if (!same_outcome(whole, chunked))
    return "chunked reading differs: error " + std::to_string(chunked.error) +
           " against " + std::to_string(whole.error);
  const ReaderOutcome failing = read_memory_dataset(
      {data, size, 0, 1 + seed % 3, size / 2}, 3 + seed % 4);
  if (failing.error != kErrorReadFailed && !same_outcome(whole, failing))
    return "a failing read gave error " + std::to_string(failing.error) +
           " against " + std::to_string(whole.error);
  if (size > 0 && size < 4096) {
    const Binary64Conversion converted =
        text_to_binary64(reinterpret_cast<const char *>(data), size,
                         std::memchr(data, '.', size) != nullptr);
    if (converted.status != kConversionOk &&
        converted.status != kConversionMalformed &&
        converted.status != kConversionTooLarge)
      return "the conversion returned status " +
             std::to_string(converted.status);
  }
  return {};
}

} // namespace sshsum::fuzzing
