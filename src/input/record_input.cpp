#include "input/record_input.hpp"

#include <cstdlib>
#include <cstring>

namespace sshsum {

RecordInput::~RecordInput() { std::free(buffer); }

int refill(RecordInput &in) {
  if (in.end_of_file)
    return 0;
  if (in.buffer == nullptr) {
    in.buffer = static_cast<char *>(std::malloc(in.block));
    if (in.buffer == nullptr)
      return kErrorWorkMemory;
    in.capacity = in.block;
  }
  // 1. Keep what is still needed: the pinned token and the unread bytes.
  std::size_t keep = in.position;
  if (in.pin != kNoPin && in.pin < keep)
    keep = in.pin;
  if (keep > 0) {
    std::memmove(in.buffer, in.buffer + keep, in.end - keep);
    in.end -= keep;
    in.position -= keep;
    if (in.pin != kNoPin)
      in.pin -= keep;
  }
  // 2. Still full: only a token longer than the buffer gets here. Double it.
  if (in.end == in.capacity) {
    const std::size_t larger = in.capacity * 2;
    if (larger < in.capacity)
      return kErrorBufferMemory;
    char *grown = static_cast<char *>(std::realloc(in.buffer, larger));
    if (grown == nullptr)
      return kErrorBufferMemory;
    in.buffer = grown;
    in.capacity = larger;
  }
  // 3. Read behind the kept bytes. Only a read that returns nothing ends the
  // file: a short read (a pipe, a terminal) is not taken as the end, so no
  // line feed is ever invented in the middle of a line.
  const long count = in.source.read(in.source.context, in.buffer + in.end,
                                    in.capacity - in.end);
  if (count < 0 || static_cast<unsigned long>(count) > in.capacity - in.end)
    return kErrorReadFailed;
  if (count == 0)
    in.end_of_file = true;
  in.end += static_cast<std::size_t>(count);
  return 0;
}

namespace {

// Passes the rest of the current record and its line feed at memchr speed;
// nothing of it is kept. Stops at end of file after an unterminated line.
int skip_record_rest(RecordInput &in) {
  for (;;) {
    const void *lf =
        std::memchr(in.buffer + in.position, '\n', in.end - in.position);
    if (lf != nullptr) {
      in.position =
          static_cast<std::size_t>(static_cast<const char *>(lf) - in.buffer) +
          1;
      return 0;
    }
    in.position = in.end;
    if (const int error = refill(in))
      return error;
    if (in.position == in.end)
      return 0;
  }
}

} // namespace

int next_record(RecordInput &in) {
  in.pin = kNoPin;
  if (in.in_record) {
    if (const int error = skip_record_rest(in))
      return error;
    in.in_record = false;
  }
  if (in.position == in.end) {
    if (const int error = refill(in))
      return error;
    if (in.position == in.end)
      return kErrorEndOfFile;
  }
  in.in_record = true;
  return 0;
}

int peek_second(RecordInput &in) {
  if (in.position + 1 >= in.end) {
    // Keep the current byte across the refill; the caller's pin moves with
    // the bytes.
    const std::size_t saved = in.pin;
    const std::size_t before = in.position;
    if (in.pin == kNoPin || in.pin > in.position)
      in.pin = in.position;
    const int error = refill(in);
    in.pin = saved == kNoPin ? kNoPin : saved - (before - in.position);
    if (error)
      return -error;
    if (in.position + 1 >= in.end)
      return kEndOfRecord;
  }
  const unsigned char c =
      static_cast<unsigned char>(in.buffer[in.position + 1]);
  return c == '\n' ? kEndOfRecord : c;
}

int resolve_carriage_returns(RecordInput &in) {
  std::size_t run_start = in.position;
  for (;;) {
    while (in.position < in.end && in.buffer[in.position] == '\r')
      ++in.position;
    if (in.position < in.end) {
      const unsigned char c =
          static_cast<unsigned char>(in.buffer[in.position]);
      return c == '\n' ? kEndOfRecord : c;
    }
    // The buffer ends inside the run. Every byte of it from run_start on is
    // a carriage return; forget them (they are either dropped with the line
    // end or an error) so that a long run never fills the buffer.
    in.position = in.end = run_start;
    if (const int error = refill(in))
      return -error;
    run_start = in.position; // the refill may have moved the bytes
    if (in.position == in.end)
      return kEndOfRecord; // end of file: the run ends the last line
  }
}

} // namespace sshsum
