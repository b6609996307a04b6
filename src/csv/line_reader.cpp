#include "csv/line_reader.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace unitcheck {

ReadBuffer::ReadBuffer(std::string path, std::size_t buffer_size)
    : file_(std::make_unique<InputFile>(std::move(path))),
      capacity_(std::max<std::size_t>(buffer_size, 1)) {
  data_ = std::make_unique_for_overwrite<char[]>(capacity_);
}

std::uint64_t ReadBuffer::find(char c, std::uint64_t from) const {
  const std::size_t index = static_cast<std::size_t>(from - base_);
  const void* hit = std::memchr(data_.get() + index, c, end_ - index);
  if (hit == nullptr) return end();
  return base_ + static_cast<std::size_t>(static_cast<const char*>(hit) - data_.get());
}

bool ReadBuffer::refill() {
  if (eof_ || file_ == nullptr) return false;
  if (begin_ > 0) {
    std::memmove(data_.get(), data_.get() + begin_, end_ - begin_);
    base_ += begin_;
    end_ -= begin_;
    begin_ = 0;
  }
  if (end_ == capacity_) {
    // A line fills the whole buffer: double it, so the memory follows the longest line.
    auto larger = std::make_unique_for_overwrite<char[]>(capacity_ * 2);
    std::memcpy(larger.get(), data_.get(), end_);
    data_ = std::move(larger);
    capacity_ *= 2;
  }
  const std::size_t count = file_->read(data_.get() + end_, capacity_ - end_);
  if (count == 0) {
    eof_ = true;
    file_.reset();
    return false;
  }
  end_ += count;
  return true;
}

UnitLineReader::UnitLineReader(std::string path, std::size_t buffer_size)
    : buffer_(std::move(path), buffer_size) {}

std::uint64_t UnitLineReader::find_line_end() {
  // Each byte is searched at most once for each of CR and LF, whatever mix the file has.
  next_cr_ = buffer_.find('\r', std::max(next_cr_, buffer_.begin()));
  next_lf_ = buffer_.find('\n', std::max(next_lf_, buffer_.begin()));
  return std::min(next_cr_, next_lf_);
}

std::string_view UnitLineReader::read_line() {
  for (;;) {
    const std::uint64_t line_end = find_line_end();
    if (line_end == buffer_.end()) {
      if (buffer_.refill()) continue;
      // The last line of the file has no line end, or nothing is left (empty text).
      const std::string_view line = buffer_.view(buffer_.begin(), line_end);
      buffer_.consume_to(line_end);
      return line;
    }
    std::uint64_t next = line_end + 1;
    if (buffer_.at(line_end) == '\r') {
      // Whether a LF follows this CR may only be known after the next read.
      if (next == buffer_.end() && buffer_.refill()) continue;
      if (next < buffer_.end() && buffer_.at(next) == '\n') ++next;
    }
    const std::string_view line = buffer_.view(buffer_.begin(), line_end);
    buffer_.consume_to(next);
    return line;
  }
}

bool UnitLineReader::at_end() {
  return buffer_.begin() == buffer_.end() && !buffer_.refill();
}

std::unique_ptr<InputFile> UnitLineReader::release(std::string& unread) {
  unread.append(buffer_.view(buffer_.begin(), buffer_.end()));
  buffer_.consume_to(buffer_.end());
  return buffer_.release_file();
}

PartListLineReader::PartListLineReader(std::string path, std::size_t buffer_size)
    : buffer_(std::move(path), buffer_size) {}

bool PartListLineReader::next_line(std::string_view& line) {
  for (;;) {
    scanned_ = buffer_.find('\n', std::max(scanned_, buffer_.begin()));
    if (scanned_ < buffer_.end()) {
      line = buffer_.view(buffer_.begin(), scanned_);
      buffer_.consume_to(scanned_ + 1);
      return true;
    }
    if (!buffer_.refill()) return false;  // text after the last LF is not a line
  }
}

}  // namespace unitcheck
