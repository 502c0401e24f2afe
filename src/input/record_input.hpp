#pragma once

// Record input: splits the bytes of the data unit into records (lines).
//
// A record is the run of bytes up to, not including, the next line feed; the
// carriage returns directly before that line feed are dropped with it, and a
// last line that ends at end of file without a line feed is a record too. A
// file of no bytes has no records.
//
// The read-ahead buffer holds a block of the file, never a whole record: the
// scanner walks the current record through the buffer, refilling it as it
// goes, and only the token it is scanning (the pinned bytes) is kept across a
// refill. The buffer therefore grows only when one token outgrows it; long
// lines, long runs of blanks and the tail of a line after a read's last value
// pass through a buffer of fixed size.

#include <cstddef>

namespace sshsum {

// Error numbers of the reader.
inline constexpr int kErrorEndOfFile = 24;       // a further record is needed
inline constexpr int kErrorReadFailed = 39;      // the file cannot be read
inline constexpr int kErrorListSyntax = 59;      // list-directed syntax error
inline constexpr int kErrorInputConversion = 64; // a value is refused
inline constexpr int kErrorBufferMemory = 98;    // the buffer cannot grow
inline constexpr int kErrorWorkMemory = 41;      // no first buffer block

// Where the bytes come from: `read` fills up to `capacity` bytes and returns
// the count, 0 at end of file, or -1 when the read fails.
struct ByteSource {
  long (*read)(void *context, char *buffer, std::size_t capacity);
  void *context;
};

// The byte value that stands for the end of the current record (its line
// feed, or the end of the file after an unterminated last line).
inline constexpr int kEndOfRecord = 256;
inline constexpr std::size_t kNoPin = static_cast<std::size_t>(-1);
inline constexpr std::size_t kReadAheadBlock = std::size_t{1} << 17;

// The read-ahead buffer and the position of the scan in it.
struct RecordInput {
  ByteSource source;
  std::size_t block = kReadAheadBlock; // size of the first allocation
  char *buffer = nullptr;
  std::size_t capacity = 0; // bytes allocated
  std::size_t position = 0; // next unread byte
  std::size_t end = 0;      // one past the last byte read from the file
  std::size_t pin = kNoPin; // first byte a refill must keep, or kNoPin
  bool end_of_file = false; // the source has reported its end
  bool in_record = false;   // a record is current (its end not yet passed)

  RecordInput(ByteSource source_, std::size_t block_ = kReadAheadBlock)
      : source(source_), block(block_ < 2 ? 2 : block_) {}
  RecordInput(const RecordInput &) = delete;
  RecordInput &operator=(const RecordInput &) = delete;
  ~RecordInput();
};

// Reads more of the file behind the buffered bytes, first moving the bytes
// from min(pin, position) on to the front, doubling the buffer when it is
// still full. Returns 0 (with `end_of_file` set when the file had no more
// bytes), 39 when the read fails, 98 when the buffer cannot grow, 41 when
// its first block (allocated by the first read) cannot be had.
int refill(RecordInput &in);

// Makes the next record current: passes the rest of the current one (through
// its line feed) and checks that the file holds at least one more byte.
// Returns 0, 24 when there is no further record, or 39 / 98.
int next_record(RecordInput &in);

// The byte at the position in the current record, kEndOfRecord at its end,
// or minus an error number (39, 98).
inline int peek(RecordInput &in) {
  if (in.position == in.end) {
    if (const int error = refill(in))
      return -error;
    if (in.position == in.end)
      return kEndOfRecord;
  }
  const unsigned char c = static_cast<unsigned char>(in.buffer[in.position]);
  return c == '\n' ? kEndOfRecord : c;
}

// The byte after the one at the position (which must be a byte of the
// record), kEndOfRecord, or minus an error number. Keeps the current byte.
int peek_second(RecordInput &in);

// The byte at the position is a carriage return. When the run of carriage
// returns starting here stands directly before the end of the record, the
// run is dropped with it: the position moves to the record's end and the
// result is kEndOfRecord. Otherwise the result is the first byte after the
// run, and the carriage returns already passed may be gone from the buffer
// (every caller then ends the read with an error). Minus an error number on
// a failing read. The pinned bytes before the run stay.
int resolve_carriage_returns(RecordInput &in);

} // namespace sshsum
