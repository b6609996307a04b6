#include "server/message_reader.h"

#include <algorithm>
#include <new>
#include <utility>

#include "platform/page_warmer.h"

namespace unitcheck::server {
namespace {

constexpr std::string_view kLengthName = "content-length";
constexpr std::string_view kLengthHeader = "content-length:";
// The body's first allocation: a claimed length is not trusted further than this.
constexpr std::uint64_t kFirstReserve = std::uint64_t{1} << 20;
// Bytes examined at a time while looking for the next header.
constexpr std::size_t kResyncStep = 4096;

char ascii_lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool ascii_iequal(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return ascii_lower(x) == y; });
}

std::string_view trim_blanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// Where "content-length:" begins in text, in any case; npos when nowhere.
std::size_t find_length_header(std::string_view text) {
  for (std::size_t at = 0; at + kLengthHeader.size() <= text.size(); ++at) {
    if (ascii_iequal(text.substr(at, kLengthHeader.size()), kLengthHeader)) return at;
  }
  return std::string_view::npos;
}

}  // namespace

bool parse_content_length(std::string_view value, std::uint64_t& length) {
  value = trim_blanks(value);
  if (value.empty()) return false;
  constexpr std::uint64_t kMax = ~std::uint64_t{0};
  std::uint64_t result = 0;
  for (const char c : value) {
    if (c < '0' || c > '9') return false;
    const auto digit = static_cast<std::uint64_t>(c - '0');
    if (result > (kMax - digit) / 10) return false;
    result = result * 10 + digit;
  }
  length = result;
  return true;
}

void MessageReader::start_headers() {
  state_ = State::Headers;
  line_.clear();
  line_too_long_ = false;
  header_seen_ = false;
  have_length_ = false;
  length_ = 0;
}

bool MessageReader::fault(FrameKind kind, std::string detail, Frame& frame) {
  frame.kind = kind;
  frame.body.clear();
  frame.detail = std::move(detail);
  start_headers();
  state_ = State::Resync;
  return true;
}

bool MessageReader::next(std::string_view& input, Frame& frame) {
  while (!input.empty()) {
    switch (state_) {
      case State::Headers: {
        const std::size_t newline = input.find('\n');
        const bool whole = newline != std::string_view::npos;
        const std::string_view piece = input.substr(0, whole ? newline : input.size());
        input.remove_prefix(whole ? newline + 1 : input.size());
        if (!line_too_long_ && line_.size() + piece.size() > kMaxHeaderLine) {
          line_too_long_ = true;
          line_.clear();
        }
        if (!line_too_long_) line_.append(piece);
        if (!whole) break;
        if (line_too_long_) {
          return fault(FrameKind::BadHeader,
                       "a header line longer than " + std::to_string(kMaxHeaderLine) + " bytes",
                       frame);
        }
        std::string line = std::move(line_);
        line_.clear();
        if (take_header_line(line, frame)) return true;
        break;
      }
      case State::Body:
      case State::SkipBody:
        take_body(input);
        if (remaining_ > 0) break;
        if (state_ == State::SkipBody) {
          start_headers();
          break;
        }
        stop_warming();
        frame.kind = FrameKind::Message;
        frame.detail.clear();
        frame.body = std::move(body_);
        start_headers();
        return true;
      case State::Resync:
        resync(input);
        break;
    }
  }
  return false;
}

void MessageReader::take_body(std::string_view& input) {
  const auto taken = static_cast<std::size_t>(std::min<std::uint64_t>(remaining_, input.size()));
  if (state_ == State::Body) {
    body_.append(input.substr(0, taken));
    if (warming_) warmer_->filled(body_.size());
  }
  input.remove_prefix(taken);
  remaining_ -= taken;
}

void MessageReader::start_body(std::uint64_t length) {
  body_ = ByteBuffer();
  state_ = State::Body;
  if (warmer_ != nullptr && length >= kWarmedBody) {
    try {
      // Address space only: no page of it is made before the bytes come near.
      body_.reserve(static_cast<std::size_t>(length));
      warmer_->begin(body_.data(), static_cast<std::size_t>(length));
      warming_ = true;
      return;
    } catch (const std::bad_alloc&) {
      // The room cannot be had at once (a strict overcommit, or a length that lies).
    }
  }
  body_.reserve(static_cast<std::size_t>(std::min(length, kFirstReserve)));
}

void MessageReader::stop_warming() {
  if (!warming_) return;
  warmer_->end();
  warming_ = false;
}

// Looks for the next "Content-Length:" (line_ keeps the bytes before input that may begin it)
// and reads headers again from there.
void MessageReader::resync(std::string_view& input) {
  const std::size_t step = std::min(input.size(), kResyncStep);
  std::string window = line_;
  window.append(input.substr(0, step));
  const std::size_t at = find_length_header(window);
  if (at == std::string_view::npos) {
    input.remove_prefix(step);
    const std::size_t keep = std::min(window.size(), kLengthHeader.size() - 1);
    line_ = window.substr(window.size() - keep);
    return;
  }
  // The header's name is taken from window; input goes on after it.
  const std::size_t past = at + kLengthHeader.size() - line_.size();
  input.remove_prefix(past);
  start_headers();
  line_ = "Content-Length:";
}

bool MessageReader::take_header_line(std::string_view line, Frame& frame) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (line.empty()) return end_headers(frame);
  header_seen_ = true;
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos) {
    return fault(FrameKind::BadHeader, "a header line without a colon", frame);
  }
  if (!ascii_iequal(trim_blanks(line.substr(0, colon)), kLengthName)) return false;
  std::uint64_t length = 0;
  if (!parse_content_length(line.substr(colon + 1), length)) {
    return fault(FrameKind::BadHeader, "a Content-Length that is not a decimal number", frame);
  }
  if (have_length_ && length != length_) {
    return fault(FrameKind::BadHeader, "two different Content-Length headers", frame);
  }
  have_length_ = true;
  length_ = length;
  return false;
}

bool MessageReader::end_headers(Frame& frame) {
  // Blank lines between messages are tolerated.
  if (!header_seen_) return false;
  if (!have_length_) return fault(FrameKind::NoLength, "a header without Content-Length", frame);
  const std::uint64_t length = length_;
  start_headers();
  remaining_ = length;
  if (length > max_body_) {
    // Skipped as it arrives: the stream stays in step, and nothing of that size is allocated.
    frame.kind = FrameKind::BodyTooLarge;
    frame.body.clear();
    frame.detail = "a body of " + std::to_string(length) + " bytes, more than the limit of " +
                   std::to_string(max_body_);
    state_ = State::SkipBody;
    return true;
  }
  start_body(length);
  if (remaining_ > 0) return false;
  frame.kind = FrameKind::Message;
  frame.detail.clear();
  frame.body.clear();
  state_ = State::Headers;
  return true;
}

}  // namespace unitcheck::server
