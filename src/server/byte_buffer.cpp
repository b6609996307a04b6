#include "server/byte_buffer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace unitcheck::server {

ByteBuffer::~ByteBuffer() {
  std::free(data_);
}

void ByteBuffer::swap(ByteBuffer& other) noexcept {
  std::swap(data_, other.data_);
  std::swap(size_, other.size_);
  std::swap(capacity_, other.capacity_);
}

void ByteBuffer::reserve(std::size_t capacity) {
  if (capacity <= capacity_) return;
  void* grown = std::realloc(data_, capacity);
  if (grown == nullptr) throw std::bad_alloc();
  data_ = static_cast<char*>(grown);
  capacity_ = capacity;
}

void ByteBuffer::append(std::string_view bytes) {
  if (bytes.empty()) return;
  if (bytes.size() > capacity_ - size_) {
    reserve(std::max(size_ + bytes.size(), capacity_ * 2));
  }
  std::memcpy(data_ + size_, bytes.data(), bytes.size());
  size_ += bytes.size();
}

}  // namespace unitcheck::server
