// Throughput of the analysis core over one 120 x 64 dataset, each beside a
// plain peer: the interleaved sums against the same steps in scalar code,
// the extremes against a scalar two-lane loop, and the binary128 sums
// against a bare __float128 chain without the NaN/zero rules and the MXCSR
// guard.

#include "numerics/binary128_sums.hpp"
#include "numerics/binary64_sums.hpp"
#include "numerics/extremes.hpp"
#include "platform/processor_state.hpp"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <random>

namespace {

using namespace sshsum;

// Sea-surface-height-like values, with the analysis MXCSR (flush-to-zero).
std::unique_ptr<DatasetArray> make_data() {
  write_mxcsr(kMxcsrMasks | kMxcsrFlushToZero);
  auto data = std::make_unique<DatasetArray>();
  std::mt19937_64 rng(5);
  std::uniform_real_distribution<double> dist(-2.5, 2.5);
  for (int n = 0; n < kDatasetSize; ++n)
    data->data()[n] = dist(rng);
  return data;
}

void BM_InterleavedSum(benchmark::State &state) {
  auto data = make_data();
  for (auto _ : state)
    benchmark::DoNotOptimize(interleaved_sum(*data, VisitingOrder::storage));
  state.SetItemsProcessed(state.iterations() * kDatasetSize);
}
BENCHMARK(BM_InterleavedSum);

void BM_InterleavedSumScalarPeer(benchmark::State &state) {
  auto data = make_data();
  for (auto _ : state) {
    const double *v = data->data();
    double p[4] = {0.0, 0.0, 0.0, 0.0};
    for (int n = 0; n < kDatasetSize; ++n)
      p[n % 4] += v[n];
    benchmark::DoNotOptimize((p[0] + p[2]) + (p[1] + p[3]));
  }
  state.SetItemsProcessed(state.iterations() * kDatasetSize);
}
BENCHMARK(BM_InterleavedSumScalarPeer);

void BM_SevenBinary64Sums(benchmark::State &state) {
  auto data = make_data();
  SumResults r;
  for (auto _ : state) {
    compute_binary64_sums(*data, r);
    benchmark::DoNotOptimize(r);
  }
  state.SetItemsProcessed(state.iterations() * 6 * kDatasetSize);
}
BENCHMARK(BM_SevenBinary64Sums);

void BM_Extremes(benchmark::State &state) {
  auto data = make_data();
  SumResults r;
  for (auto _ : state) {
    compute_extremes(*data, r);
    benchmark::DoNotOptimize(r);
  }
  state.SetItemsProcessed(state.iterations() * 2 * kDatasetSize);
}
BENCHMARK(BM_Extremes);

void BM_ExtremesScalarPeer(benchmark::State &state) {
  auto data = make_data();
  for (auto _ : state) {
    const double *v = data->data();
    double hi[2] = {-1e308, -1e308}, lo[2] = {1e308, 1e308};
    for (int n = 0; n < kDatasetSize; ++n)
      if (v[n] > hi[n & 1])
        hi[n & 1] = v[n];
    for (int n = 0; n < kDatasetSize; ++n)
      if (v[n] < lo[n & 1])
        lo[n & 1] = v[n];
    benchmark::DoNotOptimize(hi[0] > hi[1] ? hi[0] : hi[1]);
    benchmark::DoNotOptimize(lo[0] < lo[1] ? lo[0] : lo[1]);
  }
  state.SetItemsProcessed(state.iterations() * 2 * kDatasetSize);
}
BENCHMARK(BM_ExtremesScalarPeer);

void BM_Binary128Sums(benchmark::State &state) {
  auto data = make_data();
  SumResults r;
  for (auto _ : state) {
    compute_binary128_sums(*data, r);
    benchmark::DoNotOptimize(r);
  }
  state.SetItemsProcessed(state.iterations() * 2 * kDatasetSize);
}
BENCHMARK(BM_Binary128Sums);

void BM_Binary128SumsBarePeer(benchmark::State &state) {
  auto data = make_data();
  for (auto _ : state) {
    __float128 row = 0, col = 0;
    for (int i = 1; i <= kValuesPerRecord; ++i)
      for (int j = 1; j <= kRecordCount; ++j)
        row += data->at(i, j);
    for (int n = 0; n < kDatasetSize; ++n)
      col += data->data()[n];
    benchmark::DoNotOptimize(row);
    benchmark::DoNotOptimize(col);
  }
  state.SetItemsProcessed(state.iterations() * 2 * kDatasetSize);
}
BENCHMARK(BM_Binary128SumsBarePeer);

} // namespace
