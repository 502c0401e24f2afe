#include "numerics/extremes.hpp"

#include <emmintrin.h>

#include <limits>

namespace sshsum {

// Both lanes live in one SSE register: loading values n and n + 1 (n even)
// puts the even value into lane 0 and the odd one into lane 1. MAXPD a, b
// delivers a when a > b and b otherwise, so max(x, L) is exactly "if x > L
// then L <- x": a NaN x or an x equal to L keeps L. Under denormals-are-zero
// the instruction reads a subnormal x as a zero of its sign and delivers
// that zero when it wins, which a plain C++ comparison followed by a copy
// of x would not do. MINPD mirrors it.

double dataset_max(const DatasetArray &data) {
  const double *v = data.data();
  __m128d lanes = _mm_set1_pd(-std::numeric_limits<double>::infinity());
  for (int n = 0; n < kDatasetSize; n += 2)
    lanes = _mm_max_pd(_mm_loadu_pd(v + n), lanes);
  // L0 if L0 > L1, otherwise L1.
  const __m128d l1 = _mm_unpackhi_pd(lanes, lanes);
  return _mm_cvtsd_f64(_mm_max_sd(lanes, l1));
}

double dataset_min(const DatasetArray &data) {
  const double *v = data.data();
  __m128d lanes = _mm_set1_pd(std::numeric_limits<double>::infinity());
  for (int n = 0; n < kDatasetSize; n += 2)
    lanes = _mm_min_pd(_mm_loadu_pd(v + n), lanes);
  // L0 if L0 < L1, otherwise L1.
  const __m128d l1 = _mm_unpackhi_pd(lanes, lanes);
  return _mm_cvtsd_f64(_mm_min_sd(lanes, l1));
}

void compute_extremes(const DatasetArray &ssh, SumResults &results) {
  results.ssh_max = dataset_max(ssh);
  results.ssh_min = dataset_min(ssh);
}

} // namespace sshsum
