#include "platform/console.h"

#include <utility>

#include "platform/failure.h"

namespace unitcheck {

Console::Console(Console&& other) noexcept
    : sink_(other.sink_),
      fd_(other.fd_),
      flush_each_line_(other.flush_each_line_),
      buffer_(std::move(other.buffer_)),
      line_open_(other.line_open_),
      carry_(std::move(other.carry_)) {
  other.fd_ = -1;
  other.sink_ = nullptr;
}

Console::~Console() {
  // The driver flushes explicitly; a destructor must not throw, so anything left is best effort.
  if (fd_ >= 0 && !buffer_.empty()) {
    try {
      flush();
    } catch (...) {
    }
  }
}

Console& Console::write_buffered(std::string_view text) {
  if (!text.empty()) line_open_ = text.back() != '\n';
  if (buffer_.size() + text.size() <= kBufferLimit) {
    buffer_.append(text);
    if (buffer_.size() == kBufferLimit) flush();
    return *this;
  }
  // Text larger than the room left goes out from where it lies, not through another copy.
  flush();
  if (text.size() < kBufferLimit) {
    buffer_.append(text);
  } else {
    write_out(text);
  }
  return *this;
}

Console& Console::write_int(std::int64_t value) {
  // Digits are produced from the unsigned magnitude, so the most negative value needs no case.
  char digits[24];
  char* end = digits + sizeof digits;
  char* p = end;
  std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : value;
  do {
    *--p = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) *--p = '-';
  return write(std::string_view(p, static_cast<std::size_t>(end - p)));
}

void Console::end_line() {
  write("\n");
  if (flush_each_line_) flush();
}

void Console::flush() {
  if (sink_ != nullptr || buffer_.empty()) return;
  try {
    write_out(buffer_);
  } catch (const Failure&) {
    buffer_.clear();  // after a refused write nothing more can be said
    throw;
  }
  buffer_.clear();
}

}  // namespace unitcheck
