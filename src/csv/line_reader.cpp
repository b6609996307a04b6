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
