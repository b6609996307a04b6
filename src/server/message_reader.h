#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "server/byte_buffer.h"

namespace unitcheck {
class PageWarmer;
}

namespace unitcheck::server {

// The largest message body the reader accepts by default: a longer one is refused and skipped.
inline constexpr std::uint64_t kMaxBodyBytes = std::uint64_t{1} << 30;  // 1 GiB
// The longest header line kept; a longer one is a framing fault.
inline constexpr std::size_t kMaxHeaderLine = 4096;

// What the reader found when a message, or a fault in the framing, is complete.
enum class FrameKind : std::uint8_t {
  Message,       // body holds one message's body
  BadHeader,     // a header line that is too long, has no colon, or a bad Content-Length
  NoLength,      // a header block without Content-Length
  BodyTooLarge,  // Content-Length past the limit: the body was skipped unread
};

struct Frame {
  FrameKind kind = FrameKind::Message;
  ByteBuffer body;     // the body (Message only)
  std::string detail;  // what was wrong, in words (the faults only)
};

// Bodies of this many bytes or more have their pages made ready ahead of the bytes, when the
// reader has a warmer.
inline constexpr std::uint64_t kWarmedBody = std::uint64_t{4} << 20;  // 4 MiB

// Cuts a byte stream into messages framed by headers ("Content-Length: N" CR LF, other headers
// ignored, an empty line) and a body of N bytes. Bytes are fed as they arrive, in pieces of any
// size; memory holds at most one header line and the body read so far (a body grows with the
// bytes that arrive, never by the length it claims). After a fault in a header the reader skips
// to the next "Content-Length:", so that one broken message does not lose the rest; a body past
// the limit is skipped as it arrives.
//
// With a warmer, a long body's room is taken whole at once, as address space: its pages are
// made ready by the warmer a window ahead of the bytes, so memory still follows the bytes that
// arrive (where the room cannot be had, the body grows as it would without one).
class MessageReader {
 public:
  explicit MessageReader(std::uint64_t max_body = kMaxBodyBytes, PageWarmer* warmer = nullptr)
      : max_body_(max_body), warmer_(warmer) {}
  MessageReader(const MessageReader&) = delete;
  MessageReader& operator=(const MessageReader&) = delete;
  ~MessageReader() { stop_warming(); }

  // Takes bytes from input until a frame is complete or input is spent; removes the bytes taken
  // from input. True when frame was set.
  bool next(std::string_view& input, Frame& frame);

  // True when no message is partly read: end of input here loses nothing.
  bool at_boundary() const {
    return state_ == State::Headers && line_.empty() && !have_length_ && !header_seen_;
  }

 private:
  enum class State : std::uint8_t { Headers, Body, SkipBody, Resync };

  bool take_header_line(std::string_view line, Frame& frame);
  bool end_headers(Frame& frame);
  void take_body(std::string_view& input);
  void resync(std::string_view& input);
  bool fault(FrameKind kind, std::string detail, Frame& frame);
  void start_headers();
  void start_body(std::uint64_t length);
  void stop_warming();

  std::uint64_t max_body_;
  PageWarmer* warmer_;
  bool warming_ = false;  // the warmer is at work on body_
  State state_ = State::Headers;
  std::string line_;  // the header line so far, or the recent bytes while resynchronising
  bool line_too_long_ = false;
  bool header_seen_ = false;
  bool have_length_ = false;
  std::uint64_t length_ = 0;
  std::uint64_t remaining_ = 0;  // bytes of the body still to come
  ByteBuffer body_;
};

// The value of a Content-Length header: decimal digits, optionally surrounded by blanks. False
// for anything else (a sign, an empty value, a number past 2^64 - 1).
bool parse_content_length(std::string_view value, std::uint64_t& length);

}  // namespace unitcheck::server
