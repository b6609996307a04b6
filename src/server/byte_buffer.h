#pragma once

#include <cstddef>
#include <string_view>

namespace unitcheck::server {

// Bytes in one block of the C library's heap, grown by realloc: a large block grows by moving
// its pages to a larger mapping rather than by copying them, so that a body of tens of
// megabytes read in pieces is written once. (A std::string of the same size, grown by doubling,
// copies and touches about twice as much memory; on a busy machine that took twice as long.)
class ByteBuffer {
 public:
  ByteBuffer() = default;
  ByteBuffer(const ByteBuffer&) = delete;
  ByteBuffer& operator=(const ByteBuffer&) = delete;
  ByteBuffer(ByteBuffer&& other) noexcept { swap(other); }
  ByteBuffer& operator=(ByteBuffer&& other) noexcept {
    ByteBuffer gone(static_cast<ByteBuffer&&>(other));
    swap(gone);
    return *this;
  }
  ~ByteBuffer();

  // Makes room for capacity bytes in all; raises std::bad_alloc when there is none.
  void reserve(std::size_t capacity);
  void append(std::string_view bytes);
  void clear() { size_ = 0; }
  std::string_view view() const { return {data_, size_}; }
  char* data() { return data_; }
  std::size_t size() const { return size_; }

 private:
  void swap(ByteBuffer& other) noexcept;

  char* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

}  // namespace unitcheck::server
