// One list-directed read (read_column) and the scan of its items.
//
// Separators: values are separated by one comma or by blanks and line ends;
// blanks around a comma belong to it; a line end alone never makes a null
// value; a comma before the first value of a read, two commas with only
// blanks or line ends between them, and a comma at the end of one line
// followed by a comma at the start of the next each mark a null value. The
// rules below (comma_seen, new_record, crossed_after_data and the look-back
// to the nearest non-blank byte of the record) give exactly that.

#include "input/list_read.hpp"

#include "input/number_token.hpp"

namespace sshsum {
namespace {

bool is_logical_letter(int c) {
  return c == 'T' || c == 'F' || c == 't' || c == 'f';
}

bool is_digit(int c) { return c >= '0' && c <= '9'; }

// Step 1 of a scan: skips blanks (space, tab, CR) and record ends, stopping
// on a non-blank byte, which is then in the buffer at the position. Leaving
// a record: after data, the scan has crossed a line end, and a record whose
// last non-blank byte is a comma counts as having shown a separating comma.
// Returns 0, 24 when the file ends, 39 or 98.
int skip_blanks(RecordInput &in, ListReadState &state) {
  for (;;) {
    while (in.position < in.end) {
      const char c = in.buffer[in.position];
      if (c == ' ' || c == '\t' || c == '\r') {
        ++in.position;
        continue;
      }
      if (c == '\n')
        break;
      state.data_seen = true;
      return 0;
    }
    if (in.position == in.end) {
      if (const int error = refill(in))
        return error;
      if (in.position < in.end)
        continue;
    }
    // End of the record (its line feed, or the end of the file).
    if (state.data_seen) {
      state.crossed_after_data = true;
      if (state.last_nonblank_comma)
        state.comma_seen = true;
    }
    if (const int error = next_record(in))
      return error;
    state.new_record = true;
    state.last_nonblank_comma = false;
  }
}

// A quoted item: read to its closing quote, a doubled quote standing for
// one, over line ends if need be. It is never a value for a binary64
// element: 64 once it is closed, 59 when the file ends inside it.
int skip_quoted_item(RecordInput &in, int quote) {
  ++in.position;
  for (;;) {
    int c = peek(in);
    if (c < 0)
      return -c;
    if (c == kEndOfRecord) {
      const int error = next_record(in);
      if (error == kErrorEndOfFile)
        return kErrorListSyntax;
      if (error != 0)
        return error;
      continue;
    }
    ++in.position;
    if (c != quote)
      continue;
    c = peek(in);
    if (c < 0)
      return -c;
    if (c != quote)
      return kErrorInputConversion;
    ++in.position; // a doubled quote
  }
}

int scan_from(RecordInput &in, ListReadState &state, ListItem &item,
              bool skip_first, bool repeat_allowed);

// A number token at the position, and for "r*" the item that follows it.
int scan_number_item(RecordInput &in, ListReadState &state, ListItem &item,
                     bool repeat_allowed) {
  NumberToken token;
  if (const int error = scan_number_token(in, state.decimal_point, token))
    return error;
  state.last_nonblank_comma = false;
  if (!token.repeat) {
    item.kind = ListItem::kNumber;
    item.value = token.value;
    return 0;
  }
  // "r*": no repeat inside a pair or after another repeat count.
  if (!repeat_allowed || state.pair_open)
    return kErrorListSyntax;
  ++in.position; // the "*"
  const std::int32_t repeat = token.count < 1 ? 1 : token.count;
  int c = peek(in);
  if (c < 0)
    return -c;
  if (c == '\r') {
    c = resolve_carriage_returns(in);
    if (c < 0)
      return -c;
    if (c != kEndOfRecord)
      return kErrorListSyntax; // "3*" with a CR inside the line after it
  }
  if (c == ' ' || c == '\t' || c == ',' || c == kEndOfRecord) {
    // r null values; the one blank or comma after "*" belongs to them.
    if (c != kEndOfRecord) {
      ++in.position;
      state.last_nonblank_comma = c == ',';
    }
    item.kind = ListItem::kNull;
    item.repeat = repeat;
    return 0;
  }
  if (const int error = scan_from(in, state, item, false, false))
    return error;
  item.repeat = repeat;
  return 0;
}

// Steps 1 and 2 of a scan, repeated until an item is found.
int scan_from(RecordInput &in, ListReadState &state, ListItem &item,
              bool skip_first, bool repeat_allowed) {
  for (bool skip = skip_first;; skip = true) {
    if (skip) {
      if (const int error = skip_blanks(in, state))
        return error;
    }
    const int c = static_cast<unsigned char>(in.buffer[in.position]);
    switch (c) {
    case ',': {
      bool null_value;
      if (state.new_record) {
        // The first comma of a new record separates only when the line end
        // before it followed data and no comma has separated yet.
        state.new_record = false;
        null_value = !state.crossed_after_data || state.comma_seen;
      } else {
        null_value = state.comma_seen || state.last_nonblank_comma;
        if (!null_value)
          state.comma_seen = true;
      }
      ++in.position;
      state.last_nonblank_comma = true;
      if (null_value) {
        item.kind = ListItem::kNull;
        return 0;
      }
      continue;
    }
    case '/':
      item.kind = ListItem::kSlash; // not consumed
      return 0;
    case '(':
      if (state.pair_open)
        return kErrorListSyntax;
      state.pair_open = true;
      ++in.position;
      state.last_nonblank_comma = false;
      continue;
    case ')':
      return kErrorListSyntax;
    case '"':
    case '\'':
      return skip_quoted_item(in, c);
    case 'T':
    case 'F':
    case 't':
    case 'f':
      return kErrorInputConversion; // a logical item
    case '.': {
      const int next = peek_second(in);
      if (next < 0)
        return -next;
      if (is_logical_letter(next))
        return kErrorInputConversion; // ".TRUE.", ".f"
      return scan_number_item(in, state, item, repeat_allowed);
    }
    default:
      return scan_number_item(in, state, item, repeat_allowed);
    }
  }
}

// The rest of a pair after its first part x: with blanks and line ends
// allowed between the parts, a comma, then y (an optional sign and either
// digits with an optional "." and more digits and an optional exponent
// letter followed by digits only, or a word beginning with I or N), then
// ")". y is checked and discarded; any other shape is 59.
int finish_pair(RecordInput &in, ListReadState &state) {
  if (const int error = skip_blanks(in, state))
    return error;
  if (in.buffer[in.position] != ',')
    return kErrorListSyntax;
  ++in.position;
  state.last_nonblank_comma = true;
  if (const int error = skip_blanks(in, state))
    return error;
  int c = static_cast<unsigned char>(in.buffer[in.position]);
  if (c == '+' || c == '-') {
    ++in.position;
    if ((c = peek(in)) < 0)
      return -c;
  }
  const auto step = [&in, &c]() {
    ++in.position;
    c = peek(in);
    return c >= 0;
  };
  if (c == 'I' || c == 'N' || c == 'i' || c == 'n') {
    while (c != ' ' && c != '\t' && c != '\r' && c != ',' && c != '/' &&
           c != ')' && c != kEndOfRecord)
      if (!step())
        return -c;
  } else {
    int digits = 0;
    for (; is_digit(c); ++digits)
      if (!step())
        return -c;
    if (c == '.' && !step())
      return -c;
    for (; is_digit(c); ++digits)
      if (!step())
        return -c;
    if (digits == 0)
      return kErrorListSyntax;
    if (c == 'D' || c == 'E' || c == 'Q' || c == 'd' || c == 'e' || c == 'q') {
      if (!step())
        return -c;
      while (is_digit(c))
        if (!step())
          return -c;
    }
  }
  state.last_nonblank_comma = false;
  if (const int error = skip_blanks(in, state))
    return error;
  if (in.buffer[in.position] != ')')
    return kErrorListSyntax;
  ++in.position;
  state.pair_open = false;
  return 0;
}

} // namespace

int scan_item(RecordInput &in, ListReadState &state, ListItem &item) {
  return scan_from(in, state, item, true, true);
}

int read_column(RecordInput &in, double *column) {
  // 1. A fresh state at the start of the next record: every read starts on
  // a new line, and whatever followed the last value of the previous read
  // on its line is passed over unread.
  ListReadState state;
  if (const int error = next_record(in))
    return error;
  // 2. The 120 elements in order.
  for (int k = 0; k < kValuesPerRecord; ++k) {
    if (state.slash_seen)
      break; // this and every later element stay as they are
    if (state.remaining_repeat > 0) {
      --state.remaining_repeat;
      if (state.current_item.kind == ListItem::kNumber)
        column[k] = state.current_item.value;
      state.new_record = false;
      continue;
    }
    state.comma_seen = false;
    state.crossed_after_data = false;
    state.decimal_point = false;
    ListItem item;
    if (const int error = scan_item(in, state, item))
      return error;
    if (state.pair_open && item.kind != ListItem::kNumber)
      return kErrorListSyntax; // "(" followed by a null value or a slash
    if (item.kind == ListItem::kNumber)
      column[k] = item.value;
    else if (item.kind == ListItem::kSlash)
      state.slash_seen = true;
    if (state.pair_open) {
      if (const int error = finish_pair(in, state))
        return error;
    }
    state.current_item = item;
    state.remaining_repeat = item.repeat - 1;
    state.new_record = false;
  }
  // 3. The read is over: a remaining repeat count, the rest of the record
  // and any pending comma are dropped with the state.
  return 0;
}

} // namespace sshsum
