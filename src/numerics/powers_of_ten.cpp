#include "numerics/powers_of_ten.hpp"

namespace sshsum {
namespace {

template <std::size_t N, typename F> constexpr auto make_table(F f) {
  std::array<decltype(f(0)), N> t{};
  for (std::size_t i = 0; i < N; ++i)
    t[i] = f(int(i));
  return t;
}

} // namespace

extern constexpr std::array<Power64, kFineMax64 - kFineMin64 + 1>
    kFinePowers64 = make_table<kFineMax64 - kFineMin64 + 1>(
        [](int i) { return power_of_ten_64(i + kFineMin64); });
extern constexpr std::array<Power64, kCoarsePositive64.size()>
    kCoarsePositivePowers64 = make_table<kCoarsePositive64.size()>(
        [](int i) { return power_of_ten_64(kCoarsePositive64[i]); });
extern constexpr std::array<Power64, kCoarseNegative64.size()>
    kCoarseNegativePowers64 = make_table<kCoarseNegative64.size()>(
        [](int i) { return power_of_ten_64(-kCoarseNegative64[i]); });

extern constexpr std::array<Power128, kFineMax128 - kFineMin128 + 1>
    kFinePowers128 = make_table<kFineMax128 - kFineMin128 + 1>(
        [](int i) { return power_of_ten_128(i + kFineMin128); });
extern constexpr std::array<Power128, kCoarsePositive128.size()>
    kCoarsePositivePowers128 = make_table<kCoarsePositive128.size()>(
        [](int i) { return power_of_ten_128(kCoarsePositive128[i]); });
extern constexpr std::array<Power128, kCoarseNegative128.size()>
    kCoarseNegativePowers128 = make_table<kCoarseNegative128.size()>(
        [](int i) { return power_of_ten_128(-kCoarseNegative128[i]); });

} // namespace sshsum
