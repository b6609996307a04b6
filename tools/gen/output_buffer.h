#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace unitcheck::gen {

// Collects generated text and hands it on in large blocks, to a file or (in tests) to a
// string. Write errors raise std::runtime_error naming the file.
class OutputBuffer {
 public:
  explicit OutputBuffer(const std::filesystem::path& file);
  explicit OutputBuffer(std::string& sink);
  OutputBuffer(const OutputBuffer&) = delete;
  OutputBuffer& operator=(const OutputBuffer&) = delete;
  ~OutputBuffer();

  void put(char c) {
    if (used_ == kCapacity) flush();
    data_[used_++] = c;
  }
  void put(std::string_view text) {
    if (text.size() > kCapacity - used_) return put_large(text);
    if (text.empty()) return;  // an empty view may have no data pointer at all
    std::memcpy(data_.get() + used_, text.data(), text.size());
    used_ += text.size();
  }
  void put_int(std::int64_t value) { put_fixed(value, 0); }
  // Writes scaled / 10^decimals in plain notation: 1250 with 2 decimals is "12.50".
  void put_fixed(std::int64_t scaled, int decimals);

  // Hands every buffered byte on.
  void flush();
  // Flushes and closes the file, raising an error if any byte was lost.
  void finish();
  std::uint64_t bytes() const { return handed_on_ + used_; }

 private:
  static constexpr std::size_t kCapacity = std::size_t{1} << 22;

  struct CloseFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };

  void put_large(std::string_view text);
  void hand_on(const char* bytes, std::size_t count);

  std::unique_ptr<char[]> data_{new char[kCapacity]};
  std::size_t used_ = 0;
  std::uint64_t handed_on_ = 0;
  std::unique_ptr<std::FILE, CloseFile> file_;
  std::string path_;
  std::string* sink_ = nullptr;
};

}  // namespace unitcheck::gen
