#include "server/message_json.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace unitcheck::server {
namespace {

// The value with each text of message that it marks put back as a string.
Json with_texts(Json value, const Message& message) {
  if (const SharedText* text = message_text(value, message)) return std::string(text->bytes);
  if (value.is_structured()) {
    for (Json& item : value) item = with_texts(std::move(item), message);
  }
  return value;
}

ByteBuffer buffer_of(std::string_view bytes) {
  ByteBuffer buffer;
  buffer.append(bytes);
  return buffer;
}

// What nlohmann-json's parser makes of the body, what parse_message does, and what read_message
// does once its texts are put back, agree: values equal, or all discarded.
void expect_same_as_parser(const std::string& body) {
  const Json expected = Json::parse(body, nullptr, false);
  const Json got = parse_message(body);
  const Message read = read_message(buffer_of(body));
  ASSERT_EQ(got.is_discarded(), expected.is_discarded()) << body.substr(0, 200);
  ASSERT_EQ(read.json.is_discarded(), expected.is_discarded()) << body.substr(0, 200);
  if (!expected.is_discarded()) {
    ASSERT_EQ(got, expected) << body.substr(0, 200);
    ASSERT_EQ(with_texts(read.json, read), expected) << body.substr(0, 200);
  }
}

std::string long_text(std::string_view piece) {
  std::string text;
  while (text.size() < kLongString + 100) text.append(piece);
  return text;
}

TEST(MessageJson, LongStringsAreReadAsTheParserReadsThem) {
  const std::string escapes = long_text(R"(a,\"b\",c\r\n\t\\\/\b\f\u00e9\ud83d\ude00\u0000x)");
  const std::string raw = long_text("k,\xc3\xa9\xf0\x9f\x98\x80,\x7f ");
  const std::string cases[] = {
      R"({"jsonrpc":"2.0","method":"m","params":{"text":")" + escapes + R"("}})",
      R"({")" + raw + R"(":[")" + escapes + R"(",1,")" + raw + R"(",{"a":")" + raw + R"("}]})",
      "\"" + raw + "\"",
      R"(["short",")" + raw + R"(",null,true,-1,2.5,18446744073709551615])",
      // Refused by both: a control byte, a broken escape, a lone or reversed surrogate, bytes of
      // no UTF-8 character, an unclosed string, a value after the end.
      "[\"" + raw + "\n\"]",
      "[\"" + raw + R"(\x"])",
      "[\"" + raw + R"(\ud800"])",
      "[\"" + raw + R"(\ude00\ud83d"])",
      "[\"" + raw + R"(\u12G4"])",
      "[\"" + raw + "\xc3\"]",
      "[\"" + raw + "\xed\xa0\x80\"]",
      "[\"" + raw + "\xc0\xaf\"]",
      "[\"" + raw + "\"",
      "[\"" + raw + "\"] 1",
      "[\"" + raw + "\",]",
      "{\"" + raw + "\"}",
      "[\"" + raw + "\\",
  };
  for (const std::string& body : cases) expect_same_as_parser(body);
}

// Only an object's long "text" stays in the body; a long key, a long string of another name or
// in an array is a string as before, and so is a short text. The texts outlive the message.
TEST(MessageJson, KeepsOnlyLongTextsInTheBody) {
  const std::string text = long_text(R"(a\"b\r\n\u00e9\ud83d\ude00)");
  const std::string body = R"({"text":")" + text + R"(","other":")" + text + R"(",")" + text +
                           R"(":1,"list":{"text":[")" + text + R"("]},"short":{"text":"\n"},)" +
                           R"("changes":[{"text":")" + text + R"("}]})";
  std::vector<SharedText> texts;
  {
    const Message read = read_message(buffer_of(body));
    ASSERT_EQ(read.texts.size(), 2u);
    EXPECT_EQ(message_text(read.json["text"], read), &read.texts[0]);
    EXPECT_EQ(message_text(read.json["changes"][0]["text"], read), &read.texts[1]);
    EXPECT_TRUE(read.json["other"].is_string());
    EXPECT_TRUE(read.json["list"]["text"][0].is_string());
    EXPECT_EQ(read.json["short"]["text"], "\n");
    EXPECT_EQ(read.json.size(), 6u);
    EXPECT_EQ(message_text(read.json["other"], read), nullptr);
    texts = read.texts;
  }
  const std::string value = Json::parse(body)["text"].get<std::string>();
  EXPECT_EQ(texts[0].bytes, value);
  EXPECT_EQ(texts[1].bytes, value);
}

// Plain runs of every length around the 16 bytes looked at together, each ended by a byte that
// is not plain, at every alignment: a run cut a byte short or long changes the value.
TEST(MessageJson, PlainRunsOfAnyLengthAroundEscapes) {
  const std::string enders[] = {R"(\")", R"(\n)", "\xc3\xa9", "\x7f", R"(\u00e9)", "\x01"};
  for (std::size_t run = 0; run < 50; ++run) {
    for (const std::string& ender : enders) {
      std::string piece(run, 'p');
      piece.append(ender);
      for (std::size_t shift = 0; shift < 3; ++shift) {
        const std::string text = std::string(shift, 's') + long_text(piece);
        expect_same_as_parser(R"({"text":")" + text + R"("})");
      }
    }
  }
}

// Mutations of a message whose text is long: each byte changed, inserted or removed at random
// places, a thousand times.
TEST(MessageJson, AgreesWithTheParserOnMutatedMessages) {
  const std::string body = R"({"params":{"textDocument":{"uri":"file:///u","text":")" +
                           long_text(R"(x,\"y\",\u00e9\r\n)") + R"("},"k":["\"",2]}})";
  std::mt19937 random(7);
  const std::string bytes = "\"\\u0d8e\x01\xc3\xa9\xff{}[],: ";
  for (int round = 0; round < 1000; ++round) {
    std::string mutated = body;
    for (int edit = 0; edit < 3; ++edit) {
      const std::size_t at = random() % mutated.size();
      const char byte = bytes[random() % bytes.size()];
      switch (random() % 3) {
        case 0:
          mutated[at] = byte;
          break;
        case 1:
          mutated.insert(at, 1, byte);
          break;
        default:
          mutated.erase(at, 1);
          break;
      }
    }
    expect_same_as_parser(mutated);
  }
}

}  // namespace
}  // namespace unitcheck::server
