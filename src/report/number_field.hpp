#pragma once

// Fixed-width number fields: one binary64 or binary128 value laid out in
// exactly `width` characters, in plain-decimal or exponent form, with the
// report's texts for zero, NaN and the infinities. Every digit comes from the
// decimal output conversion (rounding mode 0).

#include "numerics/binary128.hpp"

#include <string_view>

namespace sshsum {

enum class FieldForm {
  exponent, // always the exponent form
  general,  // plain decimal for moderate magnitudes, exponent form otherwise
};

enum class ZeroForm { exponent, plain_decimal };

// Where "NaN", "Infinity" and "-Infinity" stand in the field.
enum class SpecialAlignment {
  after_one_blank, // one blank, the text, blanks to the end
  right,           // right-aligned in the whole field
};

// Exponent digits chosen by the magnitude: the letter, the sign and two
// digits up to 99, the sign and three digits without letter from 100.
inline constexpr int kAutomaticExponent = 0;

struct FieldSpec {
  int width;           // w: characters of the field
  int digits;          // d: exponent form, digits after the point (d + 1
                       // significant); plain decimal, significant digits
  int exponent_digits; // e, or kAutomaticExponent
  char exponent_letter;
  FieldForm form;
  ZeroForm zero_form;
  SpecialAlignment special_alignment;
};

// ssh_min, ssh_max (binary64).
inline constexpr FieldSpec extreme_field{24,
                                         15,
                                         kAutomaticExponent,
                                         'D',
                                         FieldForm::exponent,
                                         ZeroForm::exponent,
                                         SpecialAlignment::after_one_blank};
// sum_row_10, sum_col_10 (binary64).
inline constexpr FieldSpec extended_field{30,
                                          19,
                                          kAutomaticExponent,
                                          'E',
                                          FieldForm::general,
                                          ZeroForm::plain_decimal,
                                          SpecialAlignment::right};
// The binary64 sums of the list lines.
inline constexpr FieldSpec list_field_64{24,
                                         15,
                                         3,
                                         'E',
                                         FieldForm::general,
                                         ZeroForm::exponent,
                                         SpecialAlignment::after_one_blank};
// sum_row_16, sum_col_16 (binary128).
inline constexpr FieldSpec list_field_128{43,
                                          33,
                                          4,
                                          'E',
                                          FieldForm::general,
                                          ZeroForm::exponent,
                                          SpecialAlignment::after_one_blank};

// The widest field this layout serves; wider layouts are cut to it.
inline constexpr int kMaxFieldWidth = 64;

// The text of one field: exactly `length` characters (the layout's width).
struct FieldText {
  char text[kMaxFieldWidth] = {};
  int length = 0;
  std::string_view view() const {
    return {text, static_cast<std::size_t>(length)};
  }
};

FieldText format_number_field(double value, const FieldSpec &layout);
FieldText format_number_field(const Binary128 &value, const FieldSpec &layout);

} // namespace sshsum
