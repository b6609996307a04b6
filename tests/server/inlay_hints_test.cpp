#include "server/inlay_hints.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "server/json_rpc.h"

namespace unitcheck::server {
namespace {

// The hints as LINE:CHARACTER LABEL.
std::vector<std::string> hints(const TextDocument& document, std::size_t first, std::size_t end,
                               std::span<const DocumentFinding> findings, InlayHintCells cells,
                               PositionEncoding encoding) {
  std::vector<std::string> out;
  for (const Json& hint :
       Json::parse(inlay_hints_text(document, first, end, findings, cells, encoding))) {
    EXPECT_EQ(hint["kind"], 2);
    out.push_back(hint["position"]["line"].dump() + ":" + hint["position"]["character"].dump() +
                  " " + hint["label"].get<std::string>());
  }
  return out;
}

// Each cell of a unit line gets its column's name as the header spells it (its controls
// escaped), before a quoted cell's quote, at the character the client counts; the header's two
// lines, a line without a key and cells past the header's names get none; only the lines
// asked for are answered; "faulty" names only the cells a finding touches, "none" nothing.
TEST(InlayHints, NameEachCellOfTheLinesAsked) {
  const TextDocument document(
      std::string("Key,Na\x1bme,Flag\n"
                  "string,string,bool\n"
                  "k,\"a,b\",flase\n"
                  ",keyless,1\n"
                  "\xc3\xa9\xf0\x9f\x98\x80,x,flase,extra\n"));
  const std::vector<DocumentFinding> findings{
      {2, 8, 13, lint::Rule::NotBoolean, lint::Severity::Error, "m", "false"},
      {4, 9, 14, lint::Rule::NotBoolean, lint::Severity::Error, "m", "false"}};
  const auto all = InlayHintCells::All;
  EXPECT_EQ(hints(document, 0, 10, findings, all, PositionEncoding::Utf16),
            (std::vector<std::string>{"2:0 Key:", "2:2 Na\\x1bme:", "2:8 Flag:", "4:0 Key:",
                                      "4:4 Na\\x1bme:", "4:6 Flag:"}));
  EXPECT_EQ(hints(document, 4, 5, findings, all, PositionEncoding::Utf8),
            (std::vector<std::string>{"4:0 Key:", "4:7 Na\\x1bme:", "4:9 Flag:"}));
  EXPECT_EQ(hints(document, 0, 10, findings, InlayHintCells::Faulty, PositionEncoding::Utf16),
            (std::vector<std::string>{"2:8 Flag:", "4:6 Flag:"}));
  EXPECT_TRUE(
      hints(document, 0, 10, findings, InlayHintCells::None, PositionEncoding::Utf16).empty());
  EXPECT_TRUE(hints(document, 7, 3, findings, all, PositionEncoding::Utf16).empty());
  EXPECT_TRUE(hints(TextDocument(std::string()), 0, 10, {}, all, PositionEncoding::Utf16).empty());
}

}  // namespace
}  // namespace unitcheck::server
