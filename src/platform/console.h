#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace unitcheck {

// The one output stream of a run. Messages are written piece by piece and ended by end_line().
// Output is buffered; when the stream is a terminal every ended line is flushed at once.
// A write that the system refuses raises a Failure, so a run whose output is lost never ends
// with status 0.
class Console {
 public:
  // Standard output, flushing per line when it is a terminal. A Windows console is written
  // characters (UTF-16) whatever its code page; a pipe or a file is written the bytes as they are.
  static Console standard_output();
  // Writes into a string instead: for tests.
  explicit Console(std::string& sink) : sink_(&sink) {}
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;
  Console(Console&& other) noexcept;
  ~Console();

  Console& write(std::string_view text) {
    // Findings are rendered into strings, a piece at a time: that case is inlined.
    if (sink_ == nullptr) return write_buffered(text);
    if (!text.empty()) line_open_ = text.back() != '\n';
    // A piece that does not fit and is larger than all the string holds (a huge cell shown in
    // its message) gets room for itself twice over at once, untouched until written: growing
    // by doubling as its line's short tail is added would copy it, holding it twice meanwhile.
    if (text.size() > sink_->capacity() - sink_->size() && text.size() > sink_->size())
      sink_->reserve(sink_->size() + 2 * text.size() + 256);
    sink_->append(text);
    return *this;
  }
  Console& write_int(std::int64_t value);
  // Ends the current line with a line feed.
  void end_line();
  // Writes the text and ends the line.
  void line(std::string_view text) {
    write(text);
    end_line();
  }
  // Writes text made of whole lines, each ended by a line feed, as if each had been written and
  // ended on its own.
  void write_lines(std::string_view text) {
    if (!flush_each_line_) {
      write(text);
      return;
    }
    for (std::size_t end; (end = text.find('\n')) != std::string_view::npos;) {
      write(text.substr(0, end + 1));
      flush();
      text.remove_prefix(end + 1);
    }
    write(text);
  }
  // Hands every buffered byte to the system; raises a Failure when it refuses them.
  void flush();
  // Drops what is buffered without writing it: after a failed write nothing more can be said.
  void discard() { buffer_.clear(); }
  // Ends the current line when some of it has been written, so that what follows starts a line.
  void finish_line() {
    if (line_open_) end_line();
  }

 private:
  Console(int fd, bool flush_each_line) : fd_(fd), flush_each_line_(flush_each_line) {}
  // write for standard output: through the buffer.
  Console& write_buffered(std::string_view text);
  // Hands text straight to the system; raises a Failure when it refuses it.
  void write_out(std::string_view text);

  static constexpr std::size_t kBufferLimit = 1 << 16;
  std::string* sink_ = nullptr;
  int fd_ = -1;
  bool flush_each_line_ = false;
  std::string buffer_;
  bool line_open_ = false;  // the last byte written is not a line feed
  // The first bytes of a character whose rest a later write brings: a console that takes
  // characters rather than bytes (Windows) is handed whole ones only.
  std::string carry_;
};

}  // namespace unitcheck
