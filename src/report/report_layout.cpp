#include "report/report_layout.hpp"

#include "io/units.hpp"
#include "report/number_field.hpp"

#include <cstring>
#include <string_view>

namespace sshsum {
namespace {

// The longest record of the report is 56 characters; a list-directed record
// could hold 80, so no line of ours is ever split.
constexpr std::size_t kRecordCapacity = 80;

// One record under construction: the bytes of one line without terminator.
struct Record {
  char bytes[kRecordCapacity];
  std::size_t length = 0;

  void append(std::string_view text) {
    std::memcpy(bytes + length, text.data(), text.size());
    length += text.size();
  }
};

void write(int sink, const Record &record) {
  write_record(sink, record.bytes, record.length);
}

// A text line: the label unchanged.
void write_text_line(int sink, std::string_view label) {
  Record r;
  r.append(label);
  write(sink, r);
}

// A break and text line: the record break ends the first record while it is
// still empty, so an empty record comes first, then the label's record.
void write_break_text_line(int sink, std::string_view label) {
  write(sink, Record{});
  write_text_line(sink, label);
}

// A field line: the label, then the number field; they touch (the blanks
// between them are the field's own). A list line is the same after the
// pending blank that a list-directed record writes before its first item
// (always the label); the number follows the label directly.
template <typename Value>
void write_number_line(int sink, std::string_view lead, std::string_view label,
                       const Value &value, const FieldSpec &spec) {
  Record r;
  const FieldText field = format_number_field(value, spec);
  r.append(lead);
  r.append(label);
  r.append(field.view());
  write(sink, r);
}

template <typename Value>
void write_field_line(int sink, std::string_view label, const Value &value,
                      const FieldSpec &spec) {
  write_number_line(sink, "", label, value, spec);
}

template <typename Value>
void write_list_line(int sink, std::string_view label, const Value &value,
                     const FieldSpec &spec) {
  write_number_line(sink, " ", label, value, spec);
}

// A list-directed write without items: the pending blank alone.
void write_empty_list_line(int sink) { write_text_line(sink, " "); }

} // namespace

void write_report_block(int sink, ReportBlock block, const SumResults &r) {
  if (block == ReportBlock::extremes) {
    write_text_line(sink, "Date Extreme:");
    write_field_line(sink, " ssh_min =", r.ssh_min, extreme_field);
    write_field_line(sink, " ssh_max =", r.ssh_max, extreme_field);
    return;
  }
  write_break_text_line(sink, "Real(8):");
  write_list_line(sink, "sum_row =", r.sum_row, list_field_64);
  write_list_line(sink, "sum_col =", r.sum_col, list_field_64);
  write_empty_list_line(sink);
  write_list_line(sink, "sum_row_reverse =", r.sum_row_reverse, list_field_64);
  write_list_line(sink, "sum_col_reverse =", r.sum_col_reverse, list_field_64);
  write_break_text_line(sink, "Sum on array (Real(8)):");
  write_list_line(sink, " sum_plus =", r.sum_plus, list_field_64);
  write_list_line(sink, " sum_minus =", r.sum_minus, list_field_64);
  write_list_line(sink, " sum_plus +sum_minus =", r.sum_plus_minus,
                  list_field_64);
  write_break_text_line(sink, "Real(16):");
  write_list_line(sink, "sum_row_16 =", r.sum_row_16, list_field_128);
  write_list_line(sink, "sum_col_16 =", r.sum_col_16, list_field_128);
  write_break_text_line(sink, "~Real(10). Extended Precision:");
  write_field_line(sink, "sum_row_10 =", r.sum_row_10, extended_field);
  write_field_line(sink, "sum_col_10 =", r.sum_col_10, extended_field);
}

} // namespace sshsum
