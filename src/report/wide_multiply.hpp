#pragma once

// Exact products of short multi-word integers. Arrays hold 64-bit words,
// most significant first.

#include <cstdint>

namespace sshsum {

// out[0 .. na + nb - 1] = a[0 .. na - 1] * b[0 .. nb - 1], exactly
// (na, nb <= 2).
inline void multiply_words(const std::uint64_t *a, int na,
                           const std::uint64_t *b, int nb, std::uint64_t *out) {
  using u128 = unsigned __int128;
  const int n = na + nb;
  for (int i = 0; i < n; ++i)
    out[i] = 0;
  // Schoolbook from the least significant words: word i of a (counted from
  // the low end) times word j of b lands in word i + j of the product.
  for (int i = 0; i < na; ++i) {
    std::uint64_t carry = 0;
    const std::uint64_t ai = a[na - 1 - i];
    for (int j = 0; j < nb; ++j) {
      std::uint64_t &slot = out[n - 1 - (i + j)];
      const u128 t = static_cast<u128>(ai) * b[nb - 1 - j] + slot + carry;
      slot = static_cast<std::uint64_t>(t);
      carry = static_cast<std::uint64_t>(t >> 64);
    }
    out[n - 1 - (i + nb)] = carry;
  }
}

inline void shift_words_left_1(std::uint64_t *w, int n) {
  for (int i = 0; i < n - 1; ++i)
    w[i] = (w[i] << 1) | (w[i + 1] >> 63);
  w[n - 1] <<= 1;
}

} // namespace sshsum
