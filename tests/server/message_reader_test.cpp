#include "server/message_reader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/page_warmer.h"
#include "support/without_threads.h"

namespace unitcheck::server {
namespace {

struct Seen {
  FrameKind kind;
  std::string text;  // the body, or the fault's words
  friend bool operator==(const Seen&, const Seen&) = default;
};

void PrintTo(const Seen& seen, std::ostream* out) {
  *out << static_cast<int>(seen.kind) << ":" << seen.text;
}

// Feeds input in pieces of piece bytes and gathers every frame.
std::vector<Seen> read_all(MessageReader& reader, std::string_view input, std::size_t piece) {
  std::vector<Seen> seen;
  Frame frame;
  while (!input.empty()) {
    std::string_view bytes = input.substr(0, piece);
    input.remove_prefix(bytes.size());
    while (reader.next(bytes, frame)) {
      seen.push_back({frame.kind, frame.kind == FrameKind::Message ? std::string(frame.body.view())
                                                                   : frame.detail});
    }
  }
  return seen;
}

std::vector<Seen> read_all(std::string_view input, std::size_t piece, std::uint64_t limit = 1000) {
  MessageReader reader(limit);
  return read_all(reader, input, piece);
}

TEST(MessageReader, CutsMessagesWhateverTheReadsAre) {
  const std::string input =
      "Content-Length: 2\r\n\r\n{}"
      "content-length:3\r\nContent-Type: application/vscode-jsonrpc; charset=utf-8\r\n\r\n[1]"
      "\r\n"  // a stray blank line between messages is tolerated
      "Content-Length: 0\r\n\r\n"
      "Content-Length:  4 \n\n\"é\"";  // bare LF line ends are accepted
  const std::vector<Seen> expected = {{FrameKind::Message, "{}"},
                                      {FrameKind::Message, "[1]"},
                                      {FrameKind::Message, ""},
                                      {FrameKind::Message, "\"é\""}};
  for (const std::size_t piece : {1, 2, 3, 7, 19, 4096}) {
    SCOPED_TRACE(piece);
    EXPECT_EQ(read_all(input, piece), expected);
  }
}

TEST(MessageReader, RecoversAfterBrokenHeadersAtTheNextContentLength) {
  const std::string good = "Content-Length: 4\r\n\r\nnull";
  const std::string long_line = "X-Padding: " + std::string(kMaxHeaderLine, 'a') + "\r\n";
  const struct {
    std::string input;
    Seen fault;
  } cases[] = {
      {"Garbage without a colon\r\n\r\n", {FrameKind::BadHeader, "a header line without a colon"}},
      {"Content-Length: -4\r\n\r\nnull",
       {FrameKind::BadHeader, "a Content-Length that is not a decimal number"}},
      {"Content-Length: 99999999999999999999999\r\n\r\n",
       {FrameKind::BadHeader, "a Content-Length that is not a decimal number"}},
      {"Content-Length: 4\r\nContent-Length: 5\r\n\r\nnull",
       {FrameKind::BadHeader, "two different Content-Length headers"}},
      {"Content-Type: text/plain\r\n\r\n{\"body\":1}",
       {FrameKind::NoLength, "a header without Content-Length"}},
      {long_line, {FrameKind::BadHeader, "a header line longer than 4096 bytes"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input.substr(0, 60));
    for (const std::size_t piece : {1, 5, 100000}) {
      EXPECT_EQ(
          read_all(c.input + good + good, piece),
          (std::vector<Seen>{c.fault, {FrameKind::Message, "null"}, {FrameKind::Message, "null"}}));
    }
  }
}

TEST(MessageReader, SkipsABodyPastTheLimitWithoutKeepingIt) {
  const std::string body(5000, 'x');
  const std::string input = "Content-Length: 5000\r\n\r\n" + body + "Content-Length: 2\r\n\r\n{}";
  for (const std::size_t piece : {1, 1000, 10000}) {
    EXPECT_EQ(read_all(input, piece, 4999),
              (std::vector<Seen>{
                  {FrameKind::BodyTooLarge, "a body of 5000 bytes, more than the limit of 4999"},
                  {FrameKind::Message, "{}"}}));
  }
  // A length of 2^64 - 1 is refused at once, not waited for or allocated.
  MessageReader reader;
  EXPECT_EQ(read_all(reader, "Content-Length: 18446744073709551615\r\n\r\nabc", 64).front().kind,
            FrameKind::BodyTooLarge);
  EXPECT_FALSE(reader.at_boundary());
}

TEST(MessageReader, ABodyLongerThanItsFirstAllocationArrivesWhole) {
  std::string body(3u << 20, 'a');
  body[12345] = 'b';
  body.back() = 'z';
  const std::string input = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
  MessageReader reader;
  std::string_view pending = std::string_view(input).substr(0, 100);
  Frame frame;
  EXPECT_FALSE(reader.next(pending, frame));
  EXPECT_FALSE(reader.at_boundary());
  EXPECT_EQ(read_all(reader, std::string_view(input).substr(100), 65536),
            (std::vector<Seen>{{FrameKind::Message, body}}));
  EXPECT_TRUE(reader.at_boundary());
}

// Long bodies read with a warmer (their room taken whole, their pages made ready ahead) arrive
// byte for byte, between short ones, whatever the reads.
TEST(MessageReader, LongBodiesReadWithAWarmerArriveWhole) {
  std::string first(kWarmedBody + 12345, '\0');
  for (std::size_t at = 0; at < first.size(); ++at) first[at] = static_cast<char>(at * 131 >> 3);
  std::string second(kWarmedBody, 'q');
  std::string input;
  for (const std::string* body : {&first, &second}) {
    input += "Content-Length: " + std::to_string(body->size()) + "\r\n\r\n" + *body;
    input += "Content-Length: 2\r\n\r\n{}";
  }
  for (const std::size_t piece : {std::size_t{1} << 20, std::size_t{65537}}) {
    PageWarmer warmer;
    MessageReader reader(kMaxBodyBytes, &warmer);
    EXPECT_EQ(read_all(reader, input, piece), (std::vector<Seen>{{FrameKind::Message, first},
                                                                 {FrameKind::Message, "{}"},
                                                                 {FrameKind::Message, second},
                                                                 {FrameKind::Message, "{}"}}));
  }
}

// A client that claims most of a gigabyte and sends a few bytes costs a few megabytes, even
// with the body's room taken whole; the reader may stop there.
TEST(MessageReader, ALengthThatLiesCostsWhatArrives) {
  PageWarmer warmer;
  const std::size_t before = static_cast<std::size_t>(testing::process_status_kib("VmRSS:"));
  {
    MessageReader reader(kMaxBodyBytes, &warmer);
    EXPECT_TRUE(read_all(reader, "Content-Length: 1000000000\r\n\r\n{\"jsonrpc\"", 7).empty());
    EXPECT_FALSE(reader.at_boundary());
    // The warmer's window ahead of the 10 bytes, and no more.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_LT(static_cast<std::size_t>(testing::process_status_kib("VmRSS:")),
              before + 4 * (kWarmWindow >> 10));
  }
}

TEST(MessageReader, ContentLengthIsPlainDecimal) {
  const struct {
    std::string_view text;
    bool good;
    std::uint64_t value;
  } cases[] = {{"0", true, 0},
               {" 42\t", true, 42},
               {"18446744073709551615", true, 18446744073709551615u},
               {"18446744073709551616", false, 0},
               {"", false, 0},
               {"+1", false, 0},
               {"1 2", false, 0},
               {"0x10", false, 0}};
  for (const auto& c : cases) {
    std::uint64_t value = 7;
    EXPECT_EQ(parse_content_length(c.text, value), c.good) << c.text;
    if (c.good) {
      EXPECT_EQ(value, c.value) << c.text;
    }
  }
}

}  // namespace
}  // namespace unitcheck::server
