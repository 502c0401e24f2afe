// text_to_binary64 against glibc strtod and fast_float::from_chars on the
// same token sets:
//   Dataset: tokens like the data file's values, 6 to 9 significant digits.
//   Digits17: 17 significant digits, as printed to round-trip a binary64.
//   LongPath: 17 to 20 digits with exponents across the whole range.
// Each iteration converts the whole set; items/s is tokens per second.
#include "input/text_to_binary64.hpp"
#include "platform/processor_state.hpp"

#include <benchmark/benchmark.h>
#include <fast_float/fast_float.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace sshsum;

struct TokenSet {
  std::string buffer;             // tokens, each followed by a NUL
  std::vector<std::size_t> start; // offsets into buffer
  std::vector<std::size_t> length;

  void add(const std::string &token) {
    start.push_back(buffer.size());
    length.push_back(token.size());
    buffer += token;
    buffer += '\0';
  }
};

constexpr int kTokens = 4096;

std::string format(const char *fmt, int digits, double value) {
  char text[64];
  std::snprintf(text, sizeof text, fmt, digits, value);
  return text;
}

// Values of a few metres or less, mixed signs, 6 to 9 significant digits in
// plain decimal form ("-0.12345678", "7.9780335").
TokenSet dataset_tokens() {
  TokenSet set;
  std::mt19937_64 rng(20261211);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  std::uniform_int_distribution<int> digits(6, 9);
  std::uniform_int_distribution<int> magnitude(-2, 0);
  while (static_cast<int>(set.start.size()) < kTokens) {
    const double value = unit(rng) * 2.0 * std::pow(10.0, magnitude(rng));
    const int d = digits(rng);
    const int exponent =
        static_cast<int>(std::floor(std::log10(std::fabs(value))));
    set.add(format("%.*f", std::max(0, d - 1 - exponent), value));
  }
  return set;
}

TokenSet digits17_tokens() {
  TokenSet set;
  std::mt19937_64 rng(17);
  std::uniform_real_distribution<double> unit(1.0, 10.0);
  std::uniform_int_distribution<int> exponent(-20, 20);
  for (int i = 0; i < kTokens; ++i)
    set.add(format("%.*e", 16, unit(rng) * std::pow(10.0, exponent(rng))));
  return set;
}

TokenSet long_path_tokens() {
  TokenSet set;
  std::mt19937_64 rng(2026);
  std::uniform_real_distribution<double> unit(1.0, 10.0);
  std::uniform_int_distribution<int> exponent(-300, 300);
  std::uniform_int_distribution<int> digits(16, 19);
  for (int i = 0; i < kTokens; ++i)
    set.add(
        format("%.*e", digits(rng), unit(rng) * std::pow(10.0, exponent(rng))));
  return set;
}

const TokenSet &token_set(int which) {
  static const TokenSet sets[] = {dataset_tokens(), digits17_tokens(),
                                  long_path_tokens()};
  return sets[which];
}

struct Precision {
  std::uint16_t saved = read_x87_control_word();
  explicit Precision(std::uint16_t p) {
    write_x87_control_word(
        static_cast<std::uint16_t>((saved & ~kX87Precision) | p));
  }
  ~Precision() { write_x87_control_word(saved); }
};

void convert_all(benchmark::State &state, std::uint16_t x87_precision) {
  const TokenSet &set = token_set(static_cast<int>(state.range(0)));
  const Precision precision(x87_precision);
  for (auto _ : state) {
    for (std::size_t i = 0; i < set.start.size(); ++i) {
      const auto r = text_to_binary64(set.buffer.data() + set.start[i],
                                      set.length[i], true);
      benchmark::DoNotOptimize(r);
    }
  }
  state.SetItemsProcessed(state.iterations() * set.start.size());
}

// Under the 53-bit precision control: the first reading of the data.
void BM_text_to_binary64(benchmark::State &state) {
  convert_all(state, kX87Precision53);
}

// Under the 64-bit precision control (the second reading), where the short
// path runs in the x87 unit.
void BM_text_to_binary64_x87_64(benchmark::State &state) {
  convert_all(state, kX87Precision64);
}

void BM_strtod(benchmark::State &state) {
  const TokenSet &set = token_set(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    for (std::size_t i = 0; i < set.start.size(); ++i) {
      const double v = std::strtod(set.buffer.data() + set.start[i], nullptr);
      benchmark::DoNotOptimize(v);
    }
  }
  state.SetItemsProcessed(state.iterations() * set.start.size());
}

void BM_fast_float(benchmark::State &state) {
  const TokenSet &set = token_set(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    for (std::size_t i = 0; i < set.start.size(); ++i) {
      const char *first = set.buffer.data() + set.start[i];
      double v;
      const auto r = fast_float::from_chars(first, first + set.length[i], v);
      benchmark::DoNotOptimize(r);
      benchmark::DoNotOptimize(v);
    }
  }
  state.SetItemsProcessed(state.iterations() * set.start.size());
}

// Argument: 0 = Dataset, 1 = Digits17, 2 = LongPath.
BENCHMARK(BM_text_to_binary64)->DenseRange(0, 2)->ArgName("set");
BENCHMARK(BM_text_to_binary64_x87_64)->DenseRange(0, 2)->ArgName("set");
BENCHMARK(BM_strtod)->DenseRange(0, 2)->ArgName("set");
BENCHMARK(BM_fast_float)->DenseRange(0, 2)->ArgName("set");

} // namespace
