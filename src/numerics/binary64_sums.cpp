#include "numerics/binary64_sums.hpp"

#include <emmintrin.h>

namespace sshsum {

namespace {

// The four partial sums as two SSE registers: lanes 0 and 1 of p01 hold P0
// and P1, lanes 0 and 1 of p23 hold P2 and P3. Values s(n), s(n+1) (n a
// multiple of 4) go to p01 and s(n+2), s(n+3) to p23, so each lane receives
// exactly the values of its partial sum, in order, one addition each.
struct Partials {
  __m128d p01 = _mm_setzero_pd();
  __m128d p23 = _mm_setzero_pd();
};

inline void add_four(Partials &p, __m128d s01, __m128d s23) {
  p.p01 = _mm_add_pd(p.p01, s01);
  p.p23 = _mm_add_pd(p.p23, s23);
}

// Steps 3 and 4: one lane-wise addition gives A = P0 + P2 in lane 0 and
// B = P1 + P3 in lane 1, then A + B.
inline double finish(const Partials &p) {
  const __m128d ab = _mm_add_pd(p.p01, p.p23);
  return _mm_cvtsd_f64(_mm_add_sd(ab, _mm_unpackhi_pd(ab, ab)));
}

// A record holds 120 values, a multiple of four, so each record starts a
// fresh group of four: the partial sum of a value depends only on its place
// within the record.
static_assert(kValuesPerRecord % 4 == 0);

// One record visited i = 1..120, each value passed through `select`.
template <class Select>
inline void add_record_upward(Partials &p, const double *record,
                              Select select) {
  for (int k = 0; k < kValuesPerRecord; k += 4)
    add_four(p, select(_mm_loadu_pd(record + k)),
             select(_mm_loadu_pd(record + k + 2)));
}

// One record visited i = 120..1: s(k) = record[119 - k], so the pair
// s(k), s(k+1) is record[118 - k .. 119 - k] with its lanes swapped.
inline void add_record_downward(Partials &p, const double *record) {
  for (int k = 0; k < kValuesPerRecord; k += 4) {
    const __m128d hi = _mm_loadu_pd(record + kValuesPerRecord - 2 - k);
    const __m128d lo = _mm_loadu_pd(record + kValuesPerRecord - 4 - k);
    add_four(p, _mm_shuffle_pd(hi, hi, 1), _mm_shuffle_pd(lo, lo, 1));
  }
}

inline __m128d keep(__m128d x) { return x; }

// The ordered comparisons give all-ones lanes where true; AND keeps the
// value there and leaves +0.0 elsewhere. Under denormals-are-zero the
// comparison reads a subnormal as zero, so it is not selected.
inline __m128d keep_positive(__m128d x) {
  return _mm_and_pd(_mm_cmpgt_pd(x, _mm_setzero_pd()), x);
}
inline __m128d keep_negative(__m128d x) {
  return _mm_and_pd(_mm_cmplt_pd(x, _mm_setzero_pd()), x);
}

template <class Select>
double storage_order_sum(const DatasetArray &data, Select select) {
  Partials p;
  for (int j = 1; j <= kRecordCount; ++j)
    add_record_upward(p, data.values[j - 1], select);
  return finish(p);
}

} // namespace

double interleaved_sum(const DatasetArray &data, VisitingOrder order) {
  Partials p;
  switch (order) {
  case VisitingOrder::storage:
    return storage_order_sum(data, keep);
  case VisitingOrder::records_reversed:
    for (int j = kRecordCount; j >= 1; --j)
      add_record_upward(p, data.values[j - 1], keep);
    break;
  case VisitingOrder::positions_reversed:
    for (int j = 1; j <= kRecordCount; ++j)
      add_record_downward(p, data.values[j - 1]);
    break;
  }
  return finish(p);
}

double interleaved_sum_positive(const DatasetArray &data) {
  return storage_order_sum(data, keep_positive);
}

double interleaved_sum_negative(const DatasetArray &data) {
  return storage_order_sum(data, keep_negative);
}

void compute_binary64_sums(const DatasetArray &ssh, SumResults &results) {
  results.sum_row = interleaved_sum(ssh, VisitingOrder::storage);
  results.sum_row_reverse =
      interleaved_sum(ssh, VisitingOrder::records_reversed);
  results.sum_col = interleaved_sum(ssh, VisitingOrder::storage);
  results.sum_col_reverse =
      interleaved_sum(ssh, VisitingOrder::positions_reversed);
  results.sum_plus = interleaved_sum_positive(ssh);
  results.sum_minus = interleaved_sum_negative(ssh);
  results.sum_plus_minus = results.sum_plus + results.sum_minus;
}

void compute_extended_sums(const DatasetArray &ssh_ext, SumResults &results) {
  results.sum_row_10 = interleaved_sum(ssh_ext, VisitingOrder::storage);
  results.sum_col_10 = interleaved_sum(ssh_ext, VisitingOrder::storage);
}

} // namespace sshsum
