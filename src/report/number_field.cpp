#include "report/number_field.hpp"

#include "report/decimal_output.hpp"

#include <algorithm>
#include <cstdlib>

namespace sshsum {
namespace {

// A text being put together before it is placed in the field.
struct Text {
  char c[2 * kMaxFieldWidth];
  int n = 0;
  void put(char ch) {
    if (n < static_cast<int>(sizeof c))
      c[n++] = ch;
  }
  void put(std::string_view s) {
    for (char ch : s)
      put(ch);
  }
};

// The field: blanks, then `text` right-aligned in the first `area`
// characters, then blanks. A text that does not fit there takes the whole
// field; one that does not fit the field at all (which no value of the
// report's fields can produce) shows asterisks.
FieldText place(const Text &text, int width, int area) {
  FieldText out;
  out.length = width;
  std::fill(out.text, out.text + width, ' ');
  if (text.n > width) {
    std::fill(out.text, out.text + width, '*');
    return out;
  }
  const int stop = text.n <= area ? area : width;
  std::copy(text.c, text.c + text.n, out.text + stop - text.n);
  return out;
}

// Rule for the exponent part of printed exponent X.
void put_exponent(Text &t, int x, const FieldSpec &layout) {
  const int magnitude = std::abs(x);
  int places = layout.exponent_digits;
  if (places == kAutomaticExponent) {
    places = magnitude <= 99 ? 2 : 3;
    if (magnitude <= 99)
      t.put(layout.exponent_letter);
  } else {
    t.put(layout.exponent_letter);
  }
  t.put(x < 0 ? '-' : '+');
  char number[12];
  int n = 0;
  for (int v = magnitude; v != 0 || n == 0; v /= 10)
    number[n++] = static_cast<char>('0' + v % 10);
  for (int i = n; i < places; ++i)
    t.put('0');
  while (n > 0)
    t.put(number[--n]);
}

// The r blanks after a plain decimal: the room an exponent part takes.
int reserved_tail(const FieldSpec &layout) {
  return layout.exponent_digits == kAutomaticExponent
             ? 4
             : layout.exponent_digits + 2;
}

FieldText special_field(const DecimalDigits &dd, const FieldSpec &layout,
                        int width) {
  Text t;
  if (dd.status == kStatusNaN) {
    t.put("NaN");
  } else {
    if (dd.kind < 0)
      t.put('-');
    t.put("Infinity");
  }
  if (layout.special_alignment == SpecialAlignment::right)
    return place(t, width, width);
  FieldText out;
  out.length = width;
  std::fill(out.text, out.text + width, ' ');
  std::copy(t.c, t.c + std::min(t.n, width - 1), out.text + 1);
  return out;
}

FieldText zero_field(const FieldSpec &layout, bool plain, int width) {
  Text t;
  t.put("0.");
  if (plain) {
    for (int i = 1; i < layout.digits; ++i)
      t.put('0');
    return place(t, width, width - reserved_tail(layout));
  }
  for (int i = 0; i < layout.digits; ++i)
    t.put('0');
  put_exponent(t, 0, layout);
  return place(t, width, width);
}

// Exponent form: d + 1 significant digits, one before the point.
FieldText exponent_field(const DecimalDigits &dd, const FieldSpec &layout,
                         int width) {
  const std::string_view digits = dd.text();
  Text t;
  if (dd.kind < 0)
    t.put('-');
  t.put(digits.substr(0, 1));
  t.put('.');
  t.put(digits.substr(1));
  put_exponent(t, dd.exponent - 1, layout);
  return place(t, width, width);
}

// Plain-decimal form with f places: the integer part (or "0"), the point,
// f fraction digits; right-aligned before the reserved tail.
FieldText plain_field(const DecimalDigits &dd, const FieldSpec &layout, int f,
                      int width) {
  const std::string_view digits = dd.text();
  const int n = dd.exponent;
  Text t;
  if (dd.kind < 0)
    t.put('-');
  std::size_t next = 0; // digits used so far
  if (n > 0) {
    for (int i = 0; i < n; ++i)
      t.put(next < digits.size() ? digits[next++] : '0');
  } else {
    t.put('0');
  }
  t.put('.');
  for (int i = 0; i < f; ++i) {
    if (i < -n)
      t.put('0');
    else
      t.put(next < digits.size() ? digits[next++] : '0');
  }
  return place(t, width, width - reserved_tail(layout));
}

template <typename T>
FieldText format_field(const T &x, const FieldSpec &layout, int probe_places) {
  const int width = std::clamp(layout.width, 1, kMaxFieldWidth);
  const int d = layout.digits;

  if (layout.form == FieldForm::general) {
    // The probe: the digits that reach P places, at most w of them.
    const DecimalDigits probe =
        fixed_conversion(x, width, probe_places, kModeNearestEven);
    if (probe.status == kStatusNaN || probe.status == kStatusInfinity)
      return special_field(probe, layout, width);
    if (std::abs(probe.kind) == kKindZero)
      return zero_field(layout, layout.zero_form == ZeroForm::plain_decimal,
                        width);
    const int n = probe.exponent;
    if (probe.status != kStatusZero && n >= -1 && n <= d) {
      // Carry test: d nines followed by a digit of 5 or more reach 10^N.
      const std::string_view digits = probe.text();
      const bool carries =
          digits.size() > static_cast<std::size_t>(d) &&
          digits.find_first_not_of('9') >= static_cast<std::size_t>(d) &&
          digits[static_cast<std::size_t>(d)] >= '5';
      const int reached = carries ? n + 1 : n;
      if (reached >= 0 && reached <= d) {
        const int f = d - reached;
        return plain_field(fixed_conversion(x, width - reserved_tail(layout), f,
                                            kModeNearestEven),
                           layout, f, width);
      }
    }
    return exponent_field(
        significant_digit_conversion(x, d + 1, kModeNearestEven), layout,
        width);
  }

  const DecimalDigits dd =
      significant_digit_conversion(x, d + 1, kModeNearestEven);
  if (dd.status == kStatusNaN || dd.status == kStatusInfinity)
    return special_field(dd, layout, width);
  if (dd.status == kStatusZero)
    return zero_field(layout, layout.zero_form == ZeroForm::plain_decimal,
                      width);
  return exponent_field(dd, layout, width);
}

// Probe places P: 17 for binary64 (35 for binary128) when d is at most
// that, d + 2 otherwise.
int probe_places(int d, int limit) { return d <= limit ? limit : d + 2; }

} // namespace

FieldText format_number_field(double value, const FieldSpec &layout) {
  return format_field(value, layout, probe_places(layout.digits, 17));
}

FieldText format_number_field(const Binary128 &value, const FieldSpec &layout) {
  return format_field(value, layout, probe_places(layout.digits, 35));
}

} // namespace sshsum
