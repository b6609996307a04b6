// Conversations about places of the sample unit table, through the protocol's side and the real
// core: hover, completion and the outline.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "server/core_document_checks.h"
#include "server/language_server.h"
#include "support/temp_dir.h"

namespace unitcheck::server {
namespace {

class WholeSource final : public ByteSource {
 public:
  explicit WholeSource(std::string text) : text_(std::move(text)) {}
  std::size_t read(std::span<char> buffer) override {
    const std::size_t size = std::min(buffer.size(), text_.size() - at_);
    std::copy_n(text_.data() + at_, size, buffer.data());
    at_ += size;
    return size;
  }

 private:
  std::string text_;
  std::size_t at_ = 0;
};

class TextSink final : public ByteSink {
 public:
  bool write(std::string_view bytes) override {
    text.append(bytes);
    return true;
  }
  std::string text;
};

std::string message(Json body) {
  body["jsonrpc"] = "2.0";
  return framed(json_text(body));
}

Json markdown_client(bool utf8 = false) {
  Json capabilities{{"textDocument",
                     {{"hover", {{"contentFormat", {"markdown", "plaintext"}}}},
                      {"documentSymbol", {{"hierarchicalDocumentSymbolSupport", true}}}}}};
  if (utf8) capabilities["general"] = {{"positionEncodings", {"utf-8", "utf-16"}}};
  return capabilities;
}

Json open_notice(const std::string& uri, const std::string& text) {
  const Json document{{"uri", uri}, {"languageId", "csv"}, {"version", 1}, {"text", text}};
  return Json{{"method", "textDocument/didOpen"}, {"params", {{"textDocument", document}}}};
}

// The sample data in a folder of its own, its unit table open in the conversation.
class Sample {
 public:
  Sample() {
    std::filesystem::copy(UNITCHECK_EXAMPLE_DATA, dir_.path() / "data",
                          std::filesystem::copy_options::recursive);
    std::ifstream in(table_path(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    table = text.str();
  }
  std::string table_path() const { return dir_ / "data/units/units.csv"; }
  std::string uri() const { return "file://" + table_path(); }
  std::string path(std::string_view relative) const {
    return dir_ / ("data/" + std::string(relative));
  }

  // The replies to the requests, by id, after the table (as table holds it) was opened.
  std::vector<Json> ask(const std::vector<Json>& requests, Json capabilities = markdown_client(),
                        const std::vector<Json>& notices = {}) {
    std::string input = message(Json{{"id", 0},
                                     {"method", "initialize"},
                                     {"params", {{"capabilities", std::move(capabilities)}}}});
    input += message(open_notice(uri(), table));
    for (const Json& notice : notices) input += message(notice);
    for (std::size_t i = 0; i < requests.size(); ++i) {
      Json request = requests[i];
      request["id"] = i + 1;
      request["params"]["textDocument"] = {{"uri", uri()}};
      input += message(request);
    }
    WholeSource source(std::move(input));
    TextSink output;
    TextSink log;
    CoreDocumentChecks checks;
    run_language_server(source, output, log, checks);
    std::vector<Json> replies(requests.size());
    MessageReader reader;
    std::string_view written = output.text;
    for (Frame frame; reader.next(written, frame);) {
      Json reply = Json::parse(frame.body.view());
      if (reply.contains("id") && reply["id"].is_number() && reply["id"] != 0)
        replies.at(reply["id"].get<std::size_t>() - 1) =
            reply.contains("result") ? reply["result"] : reply;
    }
    return replies;
  }

  std::string table;

 private:
  testing::TempDir dir_;
};

Json at(std::string_view method, std::size_t line, std::size_t character) {
  return Json{{"method", method},
              {"params", {{"position", {{"line", line}, {"character", character}}}}}};
}
Json hover(std::size_t line, std::size_t character) {
  return at("textDocument/hover", line, character);
}
Json complete(std::size_t line, std::size_t character) {
  return at("textDocument/completion", line, character);
}

// The 0-based line of text, without its line end.
std::string line_of(const std::string& text, std::size_t line) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < line; ++i) start = text.find('\n', start) + 1;
  return text.substr(start, text.find('\n', start) - start);
}
// The byte of line where needle begins, plus offset.
std::size_t byte_of(const std::string& text, std::size_t line, std::string_view needle,
                    std::size_t offset = 0) {
  const std::size_t found = line_of(text, line).find(needle);
  EXPECT_NE(found, std::string::npos) << needle;
  return found + offset;
}

Json range(std::size_t line, std::size_t begin, std::size_t end) {
  return Json{{"start", {{"line", line}, {"character", begin}}},
              {"end", {{"line", line}, {"character", end}}}};
}

std::vector<std::string> labels(const Json& completion) {
  std::vector<std::string> out;
  for (const Json& item : completion["items"]) out.push_back(item["label"]);
  return out;
}

// The findings of a place are the client's diagnostics beside the hover: a hover does not
// repeat them.
TEST(PlaceRequests, HoverNamesTheColumnTheFieldAndTheUnit) {
  Sample sample;
  const std::string& t = sample.table;
  const std::size_t name = byte_of(t, 2, ",Hornet,", 1);
  const std::size_t category = byte_of(t, 2, "Consumer_Goods/Food");
  const std::size_t flase = byte_of(t, 3, "flase");
  const std::vector<Json> replies =
      sample.ask({hover(2, name + 2), hover(2, category + 19), hover(3, flase), hover(0, 15),
                  hover(1, 3), hover(2, byte_of(t, 2, "{protein", 0))});
  EXPECT_EQ(replies[0]["contents"]["kind"], "markdown");
  EXPECT_EQ(replies[0]["contents"]["value"],
            "Column 3: `Name` — text, size 45\n\nUnit `hornet` — `Hornet`");
  EXPECT_EQ(replies[0]["range"], range(2, name, name + 6));
  // The end of a nested value still stands in it.
  EXPECT_EQ(replies[1]["contents"]["value"],
            "Column 107: `Cargo` — integer\n\nNested list `cargo`, group 1: `cargo.Category` — "
            "text, size 60\n\nUnit `hornet` — `Hornet`");
  EXPECT_EQ(replies[1]["range"], range(2, category, category + 19));
  EXPECT_EQ(replies[2]["contents"]["value"],
            "Column 46: `Jump_Drive_Present` — boolean\n\nUnit `hornet.militia` — `Hornet "
            "Militia`");
  EXPECT_EQ(replies[2]["range"], range(3, flase, flase + 5));
  EXPECT_EQ(replies[3]["contents"]["value"], "Header of column 3: `Name` — text, size 45");
  EXPECT_EQ(replies[3]["range"], range(0, 14, 18));
  EXPECT_TRUE(replies[4].is_null()) << replies[4];  // the line the checks pass over
  // A brace opens a group: before it there is no value of the list.
  EXPECT_EQ(replies[5]["contents"]["value"],
            "Column 107: `Cargo` — integer\n\nNested list `cargo`: no field (a value past the "
            "group's last field, or text before a group)\n\nUnit `hornet` — `Hornet`");
}

TEST(PlaceRequests, HoverCountsInTheAgreedEncodingOnLinesOfOtherScripts) {
  Sample sample;
  // "Hörnet 🚀": ö is 2 bytes and 1 UTF-16 unit, the rocket 4 bytes and 2 units.
  const std::size_t at = byte_of(sample.table, 2, ",Hornet,", 1);
  sample.table.replace(sample.table.find(",Hornet,") + 1, 6, "H\xC3\xB6rnet \xF0\x9F\x9A\x80");
  const std::size_t status = byte_of(sample.table, 2, "FINAL");
  const std::vector<Json> utf16 = sample.ask({hover(2, status - 3 + 1), hover(2, at + 7)});
  EXPECT_EQ(
      utf16[0]["contents"]["value"],
      "Column 4: `STATUS` — text, size 35\n\nUnit `hornet` — `H\xC3\xB6rnet \xF0\x9F\x9A\x80`");
  EXPECT_EQ(utf16[0]["range"], range(2, status - 3, status + 5 - 3));
  EXPECT_EQ(utf16[1]["range"], range(2, at, at + 9));
  const std::vector<Json> utf8 = sample.ask({hover(2, status + 1)}, markdown_client(true));
  EXPECT_EQ(utf8[0]["range"], range(2, status, status + 5));
  // A client without Markdown gets plain text.
  const std::vector<Json> plain = sample.ask({hover(2, status + 1)}, Json::object());
  EXPECT_EQ(plain[0]["contents"]["kind"], "plaintext");
  EXPECT_EQ(plain[0]["contents"]["value"],
            "Column 4: STATUS — text, size 35\nUnit hornet — H\xC3\xB6rnet \xF0\x9F\x9A\x80");
}

TEST(PlaceRequests, CompletesTheCellsOfClosedSets) {
  Sample sample;
  const std::string& t = sample.table;
  const std::size_t boolean = byte_of(t, 2, ",FALSE,TRUE,", 1);
  const std::size_t part = byte_of(t, 2, "{protein", 1);
  const std::size_t cat = byte_of(t, 2, "Consumer_Goods/Food");
  const std::size_t cockpit = byte_of(t, 2, "hornet-cockpit");
  const std::size_t mission = byte_of(t, 2, ";;0}", 2);
  const std::vector<Json> replies = sample.ask(
      {complete(2, boolean + 1), complete(2, 7), complete(2, part + 1), complete(2, cat + 16),
       complete(2, cockpit), complete(2, mission), complete(2, byte_of(t, 2, "hornet.mesh", 3)),
       complete(2, byte_of(t, 2, ",1.0,", 2))});
  EXPECT_EQ(labels(replies[0]), (std::vector<std::string>{"FALSE", "false"}));
  EXPECT_EQ(replies[0]["items"][0]["textEdit"],
            (Json{{"range", range(2, boolean, boolean + 5)}, {"newText", "FALSE"}}));
  // The folders of units/, not its table.
  EXPECT_EQ(labels(replies[1]),
            (std::vector<std::string>{"anvil", "anvil_turret", "hornet", "kestrel", "meridian",
                                      "mule", "packrat", "talon", "wasp"}));
  EXPECT_EQ(replies[1]["items"][0]["kind"], 19);
  EXPECT_EQ(labels(replies[2]), (std::vector<std::string>{"plating_heavy", "plating_light",
                                                          "protein_packs", "pulse_laser"}));
  EXPECT_EQ(replies[2]["items"][0]["textEdit"]["range"], range(2, part, part + 13));
  EXPECT_EQ(labels(replies[3]), (std::vector<std::string>{"Consumer_Goods/Food"}));
  EXPECT_EQ(labels(replies[4]).front(), "anvil-cockpit");
  EXPECT_EQ(labels(replies[4]).size(), 7u);  // six folders and no-cockpit
  EXPECT_EQ(labels(replies[5]), (std::vector<std::string>{"0", "1"}));  // cargo.missionCargo
  EXPECT_EQ(labels(replies[6]),
            (std::vector<std::string>{"hornet-collide.mesh", "hornet-hud.sprite", "hornet.mesh"}));
  EXPECT_EQ(replies[6]["items"][0]["kind"], 17);
  EXPECT_EQ(replies[7], (Json{{"isIncomplete", false}, {"items", Json::array()}}));  // a float
}

// Folders and parts are offered from inside the data directory only, and only names a cell can
// hold.
TEST(PlaceRequests, CompletesOnlyWithNamesFromInsideTheDataDirectory) {
  Sample sample;
  testing::TempDir outside;
  outside.make_directory("secret-cockpit");
  std::filesystem::remove_all(sample.path("cockpits"));
  std::filesystem::create_directory_symlink(outside.path(), sample.path("cockpits"));
  {
    std::ofstream secret(outside / "parts.csv");
    secret << "file,categoryname,price,mass,volume,description\nsecret_part,Secret/Stuff,1,1,1,x\n";
  }
  std::filesystem::remove(sample.path("master_part_list.csv"));
  std::filesystem::create_symlink(outside / "parts.csv", sample.path("master_part_list.csv"));
  const std::size_t part = byte_of(sample.table, 2, "{protein_packs;", 1);
  std::filesystem::create_directory(sample.path("units/bad,name"));
  std::filesystem::create_directory(sample.path("units/bell\a"));
  std::filesystem::create_directory(sample.path("units/zeta"));
  const std::size_t cockpit = byte_of(sample.table, 2, "hornet-cockpit");
  const std::vector<Json> replies =
      sample.ask({complete(2, cockpit), complete(2, 7), complete(2, part)});
  EXPECT_EQ(labels(replies[0]), (std::vector<std::string>{"no-cockpit"}));
  EXPECT_EQ(labels(replies[1]).size(), 10u);
  EXPECT_EQ(labels(replies[1]).back(), "zeta");
  EXPECT_EQ(replies[2], (Json{{"isIncomplete", false}, {"items", Json::array()}}));
}

TEST(PlaceRequests, BoundsTheCompletionsOfALongPartList) {
  Sample sample;
  // The editor's part list, of 5,000 parts: the server offers the first 200 and says so.
  std::string parts = "file,categoryname,price,mass,volume,description\n";
  for (int i = 0; i < 5000; ++i)
    parts += "part_" + std::to_string(10000 + i) + ",Weapons/Guns,1,1,1,x\n";
  const Json open_parts = open_notice("file://" + sample.path("master_part_list.csv"), parts);
  const std::size_t part = byte_of(sample.table, 2, "{protein_packs;", 1);
  sample.table.replace(sample.table.find("{protein_packs;"), 14, "{part_1");
  const std::vector<Json> replies =
      sample.ask({complete(2, part + 6)}, markdown_client(), {open_parts});
  EXPECT_EQ(replies[0]["isIncomplete"], true);
  ASSERT_EQ(replies[0]["items"].size(), 200u);
  EXPECT_EQ(replies[0]["items"][0]["label"], "part_10000");
  EXPECT_EQ(replies[0]["items"][199]["label"], "part_10199");
  EXPECT_EQ(replies[0]["items"][0]["textEdit"]["range"], range(2, part, part + 6));
}

TEST(PlaceRequests, OutlinesEveryUnitByItsKeyAndName) {
  Sample sample;
  const std::vector<Json> tree =
      sample.ask({Json{{"method", "textDocument/documentSymbol"}, {"params", Json::object()}}});
  ASSERT_EQ(tree[0].size(), 10u);
  EXPECT_EQ(tree[0][4]["name"], "mule");
  EXPECT_EQ(tree[0][4]["detail"], "Mule Bulk Freighter - Extended Cargo Ring Edition");
  EXPECT_EQ(tree[0][4]["selectionRange"], range(6, 0, 4));
  EXPECT_EQ(tree[0][4]["range"], range(6, 0, line_of(sample.table, 6).size()));
  const std::vector<Json> flat =
      sample.ask({Json{{"method", "textDocument/documentSymbol"}, {"params", Json::object()}}},
                 Json::object());
  EXPECT_EQ(flat[0][1]["name"], "hornet.militia");
  EXPECT_EQ(flat[0][1]["location"]["uri"], sample.uri());
  EXPECT_EQ(flat[0][1]["containerName"], "Hornet Militia");
  // A quoted empty key, a key of spaces: named by their lines. A line without a key, and the
  // line the checks pass over, name no unit.
  sample.table.replace(sample.table.find("wasp,wasp"), 4, "\"\"");
  sample.table.replace(sample.table.find("mule,mule"), 4, "  ");
  sample.table.replace(sample.table.find("packrat,packrat"), 7, "");
  const std::vector<Json> odd =
      sample.ask({Json{{"method", "textDocument/documentSymbol"}, {"params", Json::object()}}});
  ASSERT_EQ(odd[0].size(), 9u);
  EXPECT_EQ(odd[0][3]["name"], "(line 6)");
  EXPECT_EQ(odd[0][3]["selectionRange"], range(5, 1, 1));
  EXPECT_EQ(odd[0][4]["name"], "(line 7)");
  EXPECT_EQ(odd[0][5]["name"], "anvil");
}

TEST(PlaceRequests, HostileTextsReachTheClientInert) {
  Sample sample;
  // A key that would be a link, HTML and a terminal colour; a name that reorders the line; a
  // second unit whose key is a megabyte long.
  const std::string key = "[x](javascript:alert(1))`<img src=x>\x1B[31m";
  const std::string name =
      "\xE2\x80\xAE"
      "evil``";
  const std::size_t first = sample.table.find("hornet,hornet,Hornet,");
  sample.table.replace(first, 21, key + ",hornet," + name + ",");
  const std::size_t second = sample.table.find("talon,talon");
  sample.table.replace(second, 5, std::string(1 << 20, 'k'));
  // A header cell that names no column, in HTML.
  sample.table.replace(sample.table.find(",STATUS,") + 1, 6, "<b>Stat</b>");
  const std::vector<Json> replies =
      sample.ask({hover(2, key.size() + 9),
                  Json{{"method", "textDocument/documentSymbol"}, {"params", Json::object()}},
                  hover(4, 3), hover(0, 20)});
  EXPECT_EQ(replies[3]["contents"]["value"],
            "Header of column 4: `<b>Stat</b>` — not a column of the unit table");
  EXPECT_EQ(replies[0]["contents"]["value"],
            "Column 3: `Name` — text, size 45\n\nUnit ``[x](javascript:alert(1))`<img "
            "src=x>\\x1b[31m`` — ``` \\u{202e}evil`` ```");
  EXPECT_EQ(replies[1][0]["name"], "[x](javascript:alert(1))`<img src=x>\\x1b[31m");
  EXPECT_EQ(replies[1][0]["detail"], "\\u{202e}evil``");
  // The long key is shown cut, in the outline and in a hover.
  EXPECT_EQ(replies[1][2]["name"], std::string(200, 'k') + "…");
  EXPECT_EQ(replies[1][2]["selectionRange"], range(4, 0, 1 << 20));
  // The key column is named as the header names it.
  EXPECT_EQ(replies[2]["contents"]["value"].get<std::string>().substr(0, 16), "Column 1: `Key` ");
  const std::string long_key = replies[2]["contents"]["value"];
  EXPECT_NE(long_key.find("Unit `" + std::string(200, 'k')), std::string::npos) << long_key;
  EXPECT_EQ(long_key.find(std::string(201, 'k')), std::string::npos) << long_key;
  EXPECT_LT(long_key.size(), 800u);
}

}  // namespace
}  // namespace unitcheck::server
