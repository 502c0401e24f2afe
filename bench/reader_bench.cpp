// The dataset reader's speed. BM_ReadDatasetFile and BM_CountLinesFile read
// the file named by SSHSUM_READER_FILE (bench/reader_large_file.sh makes a
// 1 GiB one): the whole reader against a plain count of line feeds with the
// same block size, the floor for passing over the tail of long lines.
// BM_ReadTypicalDataset reads an in-memory file of 64 lines of 120 values.

#include "input/dataset_reader.hpp"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace sshsum;

long read_fd(void *context, char *buffer, std::size_t capacity) {
  return static_cast<long>(
      ::read(*static_cast<int *>(context), buffer, capacity));
}

const char *bench_file(benchmark::State &state) {
  const char *path = std::getenv("SSHSUM_READER_FILE");
  if (path == nullptr)
    state.SkipWithError("SSHSUM_READER_FILE is not set");
  return path;
}

void BM_ReadDatasetFile(benchmark::State &state) {
  const char *path = bench_file(state);
  if (path == nullptr)
    return;
  struct stat info {};
  ::stat(path, &info);
  static DatasetArray array;
  for (auto _ : state) {
    int fd = ::open(path, O_RDONLY);
    const int error = read_dataset_from(ByteSource{read_fd, &fd}, array);
    ::close(fd);
    if (error != 0)
      state.SkipWithError(("reader error " + std::to_string(error)).c_str());
    benchmark::DoNotOptimize(array.data());
  }
  state.SetBytesProcessed(state.iterations() * info.st_size);
}
BENCHMARK(BM_ReadDatasetFile)
    ->Iterations(3)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void BM_CountLinesFile(benchmark::State &state) {
  const char *path = bench_file(state);
  if (path == nullptr)
    return;
  std::vector<char> block(kReadAheadBlock);
  long long total = 0;
  for (auto _ : state) {
    int fd = ::open(path, O_RDONLY);
    long long lines = 0;
    for (long n; (n = ::read(fd, block.data(), block.size())) > 0;) {
      total += n;
      for (const char *p = block.data(), *end = p + n;
           (p = static_cast<const char *>(std::memchr(p, '\n', end - p))); ++p)
        ++lines;
    }
    ::close(fd);
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(total);
}
BENCHMARK(BM_CountLinesFile)
    ->Iterations(3)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

struct Memory {
  const std::string *text;
  std::size_t offset;
};

long read_memory(void *context, char *buffer, std::size_t capacity) {
  auto &m = *static_cast<Memory *>(context);
  std::size_t n = m.text->size() - m.offset;
  if (n > capacity)
    n = capacity;
  std::memcpy(buffer, m.text->data() + m.offset, n);
  m.offset += n;
  return static_cast<long>(n);
}

void BM_ReadTypicalDataset(benchmark::State &state) {
  std::string text;
  for (int j = 0; j < 64; ++j) {
    for (int i = 0; i < 120; ++i)
      text += std::to_string((i * 7919 + j * 104729) % 100000) + ".125 ";
    text += "\r\n";
  }
  static DatasetArray array;
  for (auto _ : state) {
    Memory m{&text, 0};
    if (read_dataset_from(ByteSource{read_memory, &m}, array) != 0)
      state.SkipWithError("reader error");
    benchmark::DoNotOptimize(array.data());
  }
  state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_ReadTypicalDataset);

} // namespace
