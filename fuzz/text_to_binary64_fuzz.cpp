// Arbitrary bytes into the decimal conversion, under both x87 precision
// settings. Checks: no fault; the status is 0, 3 or 8; a refusal for size
// is infinity; and for tokens of the plain form digits[.digits][e[sign]digits]
// (which glibc strtod reads the same way) the value lies within one unit in
// the last place of the correctly rounded value, and without an exponent it
// equals the value of the same text with "E0" appended.
#include "input/text_to_binary64.hpp"
#include "platform/processor_state.hpp"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool plain_form(const std::string &s) {
  std::size_t i = 0, digits = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9')
    ++i, ++digits;
  if (i < s.size() && s[i] == '.')
    for (++i; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
      ++digits;
  if (digits == 0)
    return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
      ++i;
    const std::size_t first = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9' && i - first < 4)
      ++i;
    if (i == first)
      return false;
  }
  return i == s.size();
}

void check(const std::string &text) {
  const auto r = sshsum::text_to_binary64(text.data(), text.size(), false);
  if (r.status != 0 && r.status != 3 && r.status != 8)
    std::abort();
  if (r.status == 8 && !std::isinf(r.value))
    std::abort();
  if (r.status == 0 && plain_form(text) &&
      text.find_first_of("eE") == std::string::npos) {
    // Appending "E0" changes nothing but the route through the stages.
    const std::string longer = text + "E0";
    const auto g =
        sshsum::text_to_binary64(longer.data(), longer.size(), false);
    if (std::bit_cast<std::uint64_t>(g.value) !=
            std::bit_cast<std::uint64_t>(r.value) ||
        g.status != r.status)
      std::abort();
  }
  if (r.status == 0 && plain_form(text)) {
    const double want = std::strtod(text.c_str(), nullptr);
    const auto a = std::bit_cast<std::int64_t>(r.value);
    const auto b = std::bit_cast<std::int64_t>(want);
    if ((a > b ? a - b : b - a) > 1)
      std::abort();
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data,
                                      std::size_t size) {
  if (size == 0)
    return 0;
  const std::string text(reinterpret_cast<const char *>(data), size);
  const std::uint16_t saved = sshsum::read_x87_control_word();
  for (const std::uint16_t precision :
       {sshsum::kX87Precision53, sshsum::kX87Precision64}) {
    sshsum::write_x87_control_word(static_cast<std::uint16_t>(
        (saved & ~sshsum::kX87Precision) | precision));
    check(text);
  }
  sshsum::write_x87_control_word(saved);
  return 0;
}
