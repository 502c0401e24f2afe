#include "report/scaling_power.hpp"

#include "numerics/powers_of_ten.hpp"
#include "report/wide_multiply.hpp"

#include <array>
#include <bit>

namespace sshsum {
namespace {

using u128 = unsigned __int128;

// R(r) = 10^r = 5^r * 2^r exactly, for 0 <= r <= 55, built from 5^r.
constexpr int kMaxExactPower128 = 55;

constexpr ScalingPower exact_power(int r) {
  u128 five = 1;
  for (int i = 0; i < r; ++i)
    five *= 5;
  const auto hi = static_cast<std::uint64_t>(five >> 64);
  const int shift =
      hi != 0 ? std::countl_zero(hi)
              : 64 + std::countl_zero(static_cast<std::uint64_t>(five));
  five <<= shift;
  ScalingPower p;
  p.word[0] = static_cast<std::uint64_t>(five >> 64);
  p.word[1] = static_cast<std::uint64_t>(five);
  p.words = 2;
  p.exponent = r - shift;
  p.exact = true;
  return p;
}

constexpr auto kExactPowers128 = [] {
  std::array<ScalingPower, kMaxExactPower128 + 1> t{};
  for (int r = 0; r <= kMaxExactPower128; ++r)
    t[r] = exact_power(r);
  return t;
}();

ScalingPower from_table(const Power64 &p, bool exact) {
  ScalingPower s;
  s.word[0] = p.significand;
  s.words = 1;
  s.exponent = p.exponent;
  s.exact = exact;
  return s;
}

ScalingPower from_table(const Power128 &p) {
  ScalingPower s;
  s.word[0] = p.hi;
  s.word[1] = p.lo;
  s.words = 2;
  s.exponent = p.exponent;
  return s;
}

// The product of two 64-bit entries, normalized and rounded to 64 bits by
// adding its 65th bit.
ScalingPower round64(const Power64 &a, const Power64 &b) {
  u128 product = static_cast<u128>(a.significand) * b.significand;
  int exponent = a.exponent + b.exponent + 64;
  if ((product >> 127) == 0) { // both factors in [2^63, 2^64): top bit 126
    product <<= 1;
    exponent -= 1;
  }
  std::uint64_t kept = static_cast<std::uint64_t>(product >> 64);
  kept += static_cast<std::uint64_t>(product >> 63) & 1u;
  if (kept == 0) { // carried out of all 64 bits
    kept = std::uint64_t(1) << 63;
    exponent += 1;
  }
  Power64 rounded{kept, exponent};
  return from_table(rounded, false);
}

} // namespace

ScalingPower round128(const ScalingPower &a, const ScalingPower &b) {
  std::uint64_t product[4];
  multiply_words(a.word, a.words, b.word, b.words, product);
  const int n = a.words + b.words;
  // The integer product[0..n-1] (most significant first) weighs
  // 2^(a.exponent + b.exponent); its top bit is bit 64n - 1 or 64n - 2.
  int exponent = a.exponent + b.exponent + 64 * (n - 2);
  if ((product[0] >> 63) == 0) {
    shift_words_left_1(product, n);
    exponent -= 1;
  }
  std::uint64_t hi = product[0];
  std::uint64_t lo = n > 1 ? product[1] : 0;
  const bool bit129 = n > 2 && (product[2] >> 63) != 0;
  const bool dropped_zero = n <= 2 || (product[2] | product[n - 1]) == 0;
  if (bit129 && ++lo == 0 && ++hi == 0) { // carried out of all 128 bits
    hi = std::uint64_t(1) << 63;
    exponent += 1;
  }
  ScalingPower p;
  p.word[0] = hi;
  p.word[1] = lo;
  p.words = 2;
  p.exponent = exponent;
  p.exact = a.exact && b.exact && dropped_zero;
  return p;
}

ScalingPower power_64bit_tier(int k) {
  if (k >= kFineMin64 && k <= kFineMax64)
    return from_table(kFinePowers64[k - kFineMin64], k >= 0 && k <= 27);
  if (k > 0) {
    std::size_t i = kCoarsePositive64.size() - 1;
    while (kCoarsePositive64[i] > k)
      --i;
    const int r = k - kCoarsePositive64[i];
    return round64(kCoarsePositivePowers64[i], kFinePowers64[r - kFineMin64]);
  }
  std::size_t i = 0;
  while (kCoarseNegative64[i] < -k)
    ++i;
  const int r = kCoarseNegative64[i] + k;
  return round64(kCoarseNegativePowers64[i], kFinePowers64[r - kFineMin64]);
}

ScalingPower power_128bit_tier(int k) {
  constexpr int kMaxPositive = kCoarsePositive128.back() + kMaxExactPower128;
  constexpr int kMaxNegative = kCoarseNegative128.back();
  if (k >= 0 && k <= kMaxExactPower128)
    return kExactPowers128[k];
  if (k >= kFineMin128 && k <= kFineMax128)
    return from_table(kFinePowers128[k - kFineMin128]);
  if (k > kMaxPositive)
    return round128(power_128bit_tier(kMaxPositive),
                    power_128bit_tier(k - kMaxPositive));
  if (k < -kMaxNegative)
    return round128(power_128bit_tier(-kMaxNegative),
                    power_128bit_tier(k + kMaxNegative));
  if (k > 0) {
    std::size_t i = kCoarsePositive128.size() - 1;
    while (kCoarsePositive128[i] > k)
      --i;
    return round128(from_table(kCoarsePositivePowers128[i]),
                    kExactPowers128[k - kCoarsePositive128[i]]);
  }
  std::size_t i = 0;
  while (kCoarseNegative128[i] < -k)
    ++i;
  return round128(from_table(kCoarseNegativePowers128[i]),
                  kExactPowers128[kCoarseNegative128[i] + k]);
}

} // namespace sshsum
