#pragma once

// Powers of ten rounded to 64-bit and 128-bit significands, shared by the
// decimal input conversion (64-bit table) and the decimal output conversion
// (both tables).
//
// Every entry is fixed by one rule: the exact value of 10^k rounded to the
// nearest value with a normalized 64-bit (or 128-bit) significand, ties to
// even (no tie occurs for a power of ten at these widths). The tables are
// computed here at compile time from that rule with exact big-integer
// arithmetic; nothing is pasted.

#include <array>
#include <cstdint>

namespace sshsum {

// value = significand * 2^exponent, top bit of significand set.
struct Power64 {
  std::uint64_t significand;
  std::int32_t exponent;
  friend constexpr bool operator==(const Power64 &, const Power64 &) = default;
};

// value = (hi * 2^64 + lo) * 2^exponent, top bit of hi set.
struct Power128 {
  std::uint64_t hi;
  std::uint64_t lo;
  std::int32_t exponent;
  friend constexpr bool operator==(const Power128 &, const Power128 &) = default;
};

namespace pow10_detail {

// A non-negative integer of up to kWords 32-bit words, just enough for the
// exact 10^425 and the restoring division below. Constexpr throughout.
struct BigNat {
  static constexpr int kWords = 52;
  std::uint32_t w[kWords] = {};

  constexpr int bit_length() const {
    for (int i = kWords - 1; i >= 0; --i)
      if (w[i] != 0) {
        int b = 32;
        while (((w[i] >> (b - 1)) & 1u) == 0)
          --b;
        return i * 32 + b;
      }
    return 0;
  }
  constexpr bool bit(int n) const { return (w[n / 32] >> (n % 32)) & 1u; }
  constexpr void set_bit(int n) { w[n / 32] |= 1u << (n % 32); }
  constexpr void mul_small(std::uint32_t m) {
    std::uint64_t carry = 0;
    for (auto &x : w) {
      std::uint64_t p = std::uint64_t(x) * m + carry;
      x = std::uint32_t(p);
      carry = p >> 32;
    }
  }
  constexpr void shl1() {
    for (int i = kWords - 1; i > 0; --i)
      w[i] = (w[i] << 1) | (w[i - 1] >> 31);
    w[0] <<= 1;
  }
  constexpr bool less_than(const BigNat &o) const {
    for (int i = kWords - 1; i >= 0; --i)
      if (w[i] != o.w[i])
        return w[i] < o.w[i];
    return false;
  }
  constexpr void sub(const BigNat &o) {
    std::int64_t borrow = 0;
    for (int i = 0; i < kWords; ++i) {
      std::int64_t d = std::int64_t(w[i]) - o.w[i] - borrow;
      borrow = d < 0;
      w[i] = std::uint32_t(d);
    }
  }
  constexpr bool is_zero() const {
    for (auto x : w)
      if (x != 0)
        return false;
    return true;
  }
  // Bits [from, from + count) as an unsigned integer of up to 64 bits.
  constexpr std::uint64_t bits(int from, int count) const {
    std::uint64_t r = 0;
    for (int i = count - 1; i >= 0; --i)
      r = (r << 1) | (from + i >= 0 && bit(from + i) ? 1u : 0u);
    return r;
  }
};

constexpr BigNat exact_power_of_ten(int k) {
  BigNat n;
  n.w[0] = 1;
  for (int i = 0; i < k; ++i)
    n.mul_small(10);
  return n;
}

// The rounded significand of 10^k as `width` bits (64 or 128) in hi:lo
// (for width 64 only `lo` is used), and its binary exponent.
struct Rounded {
  std::uint64_t hi, lo;
  std::int32_t exponent;
};

constexpr Rounded round_power_of_ten(int k, int width) {
  // q holds width + 1 bits: the significand and, below it, the round bit;
  // sticky is set when anything below the round bit is nonzero.
  BigNat q;
  bool sticky = false;
  int exponent = 0; // value of q's lowest bit is 2^exponent
  if (k >= 0) {
    const BigNat n = exact_power_of_ten(k);
    const int length = n.bit_length();
    const int shift = length - (width + 1); // bits dropped below the round bit
    if (shift <= 0) {
      q = n;
      for (int i = 0; i < -shift; ++i)
        q.shl1();
    } else {
      for (int i = 0; i < shift; ++i)
        sticky = sticky || n.bit(i);
      for (int i = 0; i < width + 1; ++i)
        if (n.bit(shift + i))
          q.set_bit(i);
    }
    exponent = shift;
  } else {
    // q = floor(2^s / 10^-k) with s = L + width, where L is the bit length
    // of the divisor: the quotient then lies in (2^width, 2^(width+1)), so it
    // has exactly width + 1 bits. Restoring division; the first L bits of
    // the dividend 2^s give a remainder of 2^(L-1) < divisor and no quotient
    // bits, so the loop starts there.
    const BigNat d = exact_power_of_ten(-k);
    const int length = d.bit_length();
    const int s = length + width;
    BigNat r;
    r.set_bit(length - 1);
    for (int pos = s - length; pos >= 0; --pos) {
      r.shl1();
      q.shl1();
      if (!r.less_than(d)) {
        r.sub(d);
        q.w[0] |= 1u;
      }
    }
    sticky = !r.is_zero();
    exponent = -s;
  }
  // Round to nearest, ties to even, at the round bit.
  const bool round_bit = q.bit(0);
  std::uint64_t lo = q.bits(1, 64);
  std::uint64_t hi = width == 128 ? q.bits(65, 64) : 0;
  exponent += 1;
  const bool odd = (lo & 1u) != 0;
  if (round_bit && (sticky || odd)) {
    if (++lo == 0 && width == 128)
      ++hi;
    const bool carried_out = width == 128 ? (hi == 0 && lo == 0) : lo == 0;
    if (carried_out) { // 2^width: renormalize to 2^(width-1) one binade up
      if (width == 128)
        hi = std::uint64_t(1) << 63;
      else
        lo = std::uint64_t(1) << 63;
      exponent += 1;
    }
  }
  return {hi, lo, exponent};
}

} // namespace pow10_detail

// The defining rule of both tables.
constexpr Power64 power_of_ten_64(int k) {
  const auto r = pow10_detail::round_power_of_ten(k, 64);
  return {r.lo, r.exponent};
}
constexpr Power128 power_of_ten_128(int k) {
  const auto r = pow10_detail::round_power_of_ten(k, 128);
  return {r.hi, r.lo, r.exponent};
}

// 64-bit table: fine entries 10^-47..10^47, coarse entries 10^P and 10^-P.
inline constexpr int kFineMin64 = -47;
inline constexpr int kFineMax64 = 47;
inline constexpr std::array<int, 13> kCoarsePositive64 = {
    27, 55, 77, 105, 133, 161, 188, 214, 242, 269, 297, 320, 345};
inline constexpr std::array<int, 14> kCoarseNegative64 = {
    53, 81, 104, 132, 157, 184, 210, 233, 261, 289, 314, 342, 367, 395};

// 128-bit table: fine entries 10^-27..10^-1, coarse entries 10^P and 10^-P.
inline constexpr int kFineMin128 = -27;
inline constexpr int kFineMax128 = -1;
inline constexpr std::array<int, 7> kCoarsePositive128 = {55,  110, 165, 219,
                                                          275, 315, 369};
inline constexpr std::array<int, 8> kCoarseNegative128 = {
    53, 108, 164, 219, 274, 327, 379, 425};

// The tables themselves are computed once, in powers_of_ten.cpp.
// kFinePowers64[k - kFineMin64] = 10^k
extern const std::array<Power64, kFineMax64 - kFineMin64 + 1> kFinePowers64;
// kCoarsePositivePowers64[i] = 10^kCoarsePositive64[i]
extern const std::array<Power64, kCoarsePositive64.size()> kCoarsePositivePowers64;
// kCoarseNegativePowers64[i] = 10^-kCoarseNegative64[i]
extern const std::array<Power64, kCoarseNegative64.size()> kCoarseNegativePowers64;
// kFinePowers128[k - kFineMin128] = 10^k
extern const std::array<Power128, kFineMax128 - kFineMin128 + 1> kFinePowers128;
extern const std::array<Power128, kCoarsePositive128.size()> kCoarsePositivePowers128;
extern const std::array<Power128, kCoarseNegative128.size()> kCoarseNegativePowers128;

} // namespace sshsum
