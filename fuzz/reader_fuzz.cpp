// libFuzzer target over the dataset reader and the decimal conversion; the
// checks are in reader_fuzz_check.hpp. Seeds: fuzz/corpus/reader/.
#include "reader_fuzz_check.hpp"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data,
                                      std::size_t size) {
  const std::string failure = sshsum::fuzzing::check_reader_input(data, size);
  if (!failure.empty()) {
    std::fprintf(stderr, "reader check failed: %s\n", failure.c_str());
    std::abort();
  }
  return 0;
}
