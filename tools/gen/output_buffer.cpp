#include "gen/output_buffer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <stdexcept>

namespace unitcheck::gen {

OutputBuffer::OutputBuffer(const std::filesystem::path& file)
    : file_(std::fopen(file.string().c_str(), "wb")), path_(file.string()) {
  if (!file_) throw std::runtime_error("cannot create " + path_);
  std::setvbuf(file_.get(), nullptr, _IONBF, 0);
}

OutputBuffer::OutputBuffer(std::string& sink) : sink_(&sink) {}

OutputBuffer::~OutputBuffer() {
  try {
    flush();
  } catch (const std::runtime_error&) {
    // The owner that wants to know calls finish().
  }
}

void OutputBuffer::put_large(std::string_view text) {
  flush();
  if (text.size() > kCapacity) return hand_on(text.data(), text.size());
  std::memcpy(data_.get(), text.data(), text.size());
  used_ = text.size();
}

namespace {

// "00" to "99": two digits per division.
constexpr auto kDigitPairs = [] {
  std::array<char, 200> pairs{};
  for (int i = 0; i < 100; ++i) {
    pairs[2 * i] = static_cast<char>('0' + i / 10);
    pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}();

int digit_count(std::uint64_t value) {
  int count = 1;
  for (; value >= 10000; value /= 10000) count += 4;
  return count + (value >= 10) + (value >= 100) + (value >= 1000);
}

// Writes the lowest count digits of value, leading zeros included, ending just before end.
void put_digits(char* end, std::uint64_t value, int count) {
  for (; count >= 2; count -= 2, value /= 100) {
    end -= 2;
    std::memcpy(end, &kDigitPairs[2 * (value % 100)], 2);
  }
  if (count == 1) end[-1] = static_cast<char>('0' + value % 10);
}

}  // namespace

// The digits go straight into the buffer: no intermediate copy.
void OutputBuffer::put_fixed(std::int64_t scaled, int decimals) {
  constexpr std::size_t kLongest = 48;  // sign, 20 digits, point, and decimals up to 18
  if (kCapacity - used_ < kLongest) flush();
  char* out = data_.get() + used_;
  std::uint64_t magnitude = static_cast<std::uint64_t>(scaled);
  if (scaled < 0) {
    *out++ = '-';
    magnitude = 0 - magnitude;
  }
  // All digits first ("0.05" needs three), then the last ones move right to make room for
  // the point; a division by a power of ten only known at run time would be slow.
  const int count = std::max(digit_count(magnitude), decimals + 1);
  put_digits(out + count, magnitude, count);
  if (decimals > 0) {
    for (int i = count; i > count - decimals; --i) out[i] = out[i - 1];
    out[count - decimals] = '.';
  }
  used_ = static_cast<std::size_t>(out + count + (decimals > 0 ? 1 : 0) - data_.get());
}

void OutputBuffer::flush() {
  const std::size_t count = used_;
  used_ = 0;
  hand_on(data_.get(), count);
}

void OutputBuffer::finish() {
  flush();
  if (file_ && std::fclose(file_.release()) != 0) throw std::runtime_error("cannot write " + path_);
}

void OutputBuffer::hand_on(const char* bytes, std::size_t count) {
  if (count == 0) return;
  handed_on_ += count;
  if (sink_ != nullptr) return void(sink_->append(bytes, count));
  if (!file_ || std::fwrite(bytes, 1, count, file_.get()) != count)
    throw std::runtime_error("cannot write " + path_);
}

}  // namespace unitcheck::gen
