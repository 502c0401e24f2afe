// Fuzzes the decimal output conversion and the number fields with arbitrary
// binary64 and binary128 bit patterns and requests. Checks the shape of
// every result: statuses, digit counts, a nonzero leading digit, fields of
// exactly their width that start with a blank.

#include "report/decimal_output.hpp"
#include "report/number_field.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <type_traits>

namespace {

using namespace sshsum;

void check(const DecimalDigits &d, int count) {
  if (d.status == kStatusNaN || d.status == kStatusInfinity)
    return;
  if (d.first < 0 || d.first > 1 || d.end - d.first != count)
    std::abort();
  for (int i = d.first; i < d.end; ++i)
    if (d.digits[i] < '0' || d.digits[i] > '9')
      std::abort();
  if (d.status == kStatusDigits && count > 0 && d.digits[d.first] == '0')
    std::abort();
}

template <typename T> void exercise(const T &x, int n, int w, int f, int mode) {
  const DecimalDigits s = significant_digit_conversion(x, n, mode);
  check(s, std::clamp(n, 1, kMaxRequestedDigits));
  const DecimalDigits fx = fixed_conversion(x, w, f, mode);
  const int cap = std::clamp(w, 1, kMaxRequestedDigits);
  const int places = std::clamp(f, 0, 1 << 20);
  if (fx.status == kStatusZero)
    check(fx, std::min(places + 1, cap));
  else if (fx.status == kStatusDigits)
    check(fx, std::min(places + fx.exponent, cap));
  // The fields that values of this type are printed with.
  const FieldSpec *const binary64_fields[] = {&extreme_field, &extended_field,
                                              &list_field_64};
  const FieldSpec *const binary128_fields[] = {&list_field_128};
  for (const FieldSpec *layout :
       std::is_same_v<T, double>
           ? std::span<const FieldSpec *const>(binary64_fields)
           : std::span<const FieldSpec *const>(binary128_fields)) {
    const FieldText t = format_number_field(x, *layout);
    if (t.length != layout->width || t.text[0] != ' ')
      std::abort();
    for (int i = 0; i < t.length; ++i)
      if (t.text[i] < ' ' || t.text[i] > '~' || t.text[i] == '*')
        std::abort();
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data,
                                      std::size_t size) {
  if (size < 28)
    return 0;
  Binary128 q;
  std::memcpy(&q.lo, data, 8);
  std::memcpy(&q.hi, data + 8, 8);
  double x;
  std::memcpy(&x, data + 16, 8);
  const int n = data[24] % 45;
  const int w = data[25] % 50;
  const int f = data[26] % 60;
  const int mode = data[27] & 7;
  exercise(x, n, w, f, mode);
  exercise(q, n, w, f, mode);
  return 0;
}
