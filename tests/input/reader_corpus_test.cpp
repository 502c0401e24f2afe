// Replays the reader fuzzer's seed corpus (fuzz/corpus/reader/) through the
// fuzzer's own checks, without libFuzzer: every file must read the same in
// one piece and in small chunks, and a failing read must end with 39.

#include "../../fuzz/reader_fuzz_check.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace sshsum {
namespace {

TEST(ReaderCorpus, EverySeedPassesTheFuzzerChecks) {
  const std::filesystem::path folder =
      std::filesystem::path(SSHSUM_SOURCE_DIR) / "fuzz" / "corpus" / "reader";
  int files = 0;
  for (const auto &entry : std::filesystem::directory_iterator(folder)) {
    std::ifstream file(entry.path(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    EXPECT_EQ(
        fuzzing::check_reader_input(
            reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size()),
        "")
        << entry.path();
    ++files;
  }
  EXPECT_GT(files, 10);
}

} // namespace
} // namespace sshsum
