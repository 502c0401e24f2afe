// Decimal output conversion against the C libraries' formatted output:
// 34 significant digits of binary128 values against quadmath_snprintf, 16
// of binary64 values against snprintf. Both sides see the same values.

#include "report/decimal_output.hpp"

#include <benchmark/benchmark.h>

#include <bit>
#include <cstdio>
#include <random>
#include <vector>

extern "C" {
#include <quadmath.h>
}

namespace {

using sshsum::Binary128;

// Values of the report's magnitudes: binary64 data over a wide range of
// exponents, and binary128 values with all 113 significand bits.
std::vector<double> doubles() {
  std::mt19937_64 rng(1);
  std::vector<double> v;
  for (int i = 0; i < 1024; ++i) {
    const double m = static_cast<double>(rng() >> 11) / 9007199254740992.0;
    v.push_back(std::ldexp(1 + m, static_cast<int>(rng() % 200) - 100));
  }
  return v;
}

std::vector<__float128> quads() {
  std::vector<__float128> v;
  std::mt19937_64 rng(2);
  for (double d : doubles())
    v.push_back(d * (1 + static_cast<__float128>(rng()) * 0x1p-64Q));
  return v;
}

void BM_Binary128_34Digits(benchmark::State &state) {
  std::vector<Binary128> values;
  for (__float128 q : quads())
    values.push_back(std::bit_cast<Binary128>(q));
  std::size_t i = 0;
  for (auto _ : state) {
    auto d = sshsum::significant_digit_conversion(values[i++ & 1023], 34, 0);
    benchmark::DoNotOptimize(d);
  }
}
BENCHMARK(BM_Binary128_34Digits);

void BM_Quadmath_34Digits(benchmark::State &state) {
  const std::vector<__float128> values = quads();
  char text[64];
  std::size_t i = 0;
  for (auto _ : state) {
    quadmath_snprintf(text, sizeof text, "%.33Qe", values[i++ & 1023]);
    benchmark::DoNotOptimize(text);
  }
}
BENCHMARK(BM_Quadmath_34Digits);

void BM_Binary64_16Digits(benchmark::State &state) {
  const std::vector<double> values = doubles();
  std::size_t i = 0;
  for (auto _ : state) {
    auto d = sshsum::significant_digit_conversion(values[i++ & 1023], 16, 0);
    benchmark::DoNotOptimize(d);
  }
}
BENCHMARK(BM_Binary64_16Digits);

void BM_Snprintf_16Digits(benchmark::State &state) {
  const std::vector<double> values = doubles();
  char text[64];
  std::size_t i = 0;
  for (auto _ : state) {
    std::snprintf(text, sizeof text, "%.15e", values[i++ & 1023]);
    benchmark::DoNotOptimize(text);
  }
}
BENCHMARK(BM_Snprintf_16Digits);

} // namespace
