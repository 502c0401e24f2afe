#include "report/scaled_fraction.hpp"

#include "report/wide_multiply.hpp"

namespace sshsum {

ScaledFraction scale_operand(const BinaryOperand &x, const ScalingPower &t) {
  std::uint64_t product[4];
  multiply_words(x.word, x.words, t.word, t.words, product);
  const int n = x.words + t.words;
  // The integer product[0..n-1] weighs 2^(x.exponent + t.exponent), so the
  // binary point lies s bits below the top of the product, with
  // s = 64n + x.exponent + t.exponent. Since the estimate keeps y within
  // [0.09, 10), s lies in [-3, 5].
  const int s = 64 * n + x.exponent + t.exponent;
  ScaledFraction y;
  if (s >= 0) {
    // The top s bits form the integer part, the rest shifts up by s.
    y.integer = s == 0 ? 0 : product[0] >> (64 - s);
    for (int i = 0; i < n; ++i) {
      const std::uint64_t next = i + 1 < n ? product[i + 1] : 0;
      y.frac[i] = s == 0 ? product[i] : (product[i] << s) | (next >> (64 - s));
    }
    y.length = n;
  } else {
    // y < 1: the fraction starts -s zero bits above the product.
    const int r = -s;
    y.frac[0] = product[0] >> r;
    for (int i = 1; i <= n; ++i) {
      const std::uint64_t here = i < n ? product[i] : 0;
      y.frac[i] = (product[i - 1] << (64 - r)) | (here >> r);
    }
    y.length = n + 1;
  }
  while (y.length > 0 && y.frac[y.length - 1] == 0)
    --y.length;
  return y;
}

} // namespace sshsum
