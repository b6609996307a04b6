#include "server/language_server.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "csv/unit_lines.h"
#include "lint/rules.h"

namespace unitcheck::server {
namespace {

// The client's bytes, handed over piece bytes a read: each read is one batch of the server.
class TextSource final : public ByteSource {
 public:
  TextSource(std::string text, std::size_t piece) : text_(std::move(text)), piece_(piece) {}
  std::size_t read(std::span<char> buffer) override {
    const std::size_t size = std::min({piece_, buffer.size(), text_.size() - at_});
    std::copy_n(text_.data() + at_, size, buffer.data());
    at_ += size;
    return size;
  }

 private:
  std::string text_;
  std::size_t piece_;
  std::size_t at_ = 0;
};

class TextSink final : public ByteSink {
 public:
  explicit TextSink(bool refuses = false) : refuses_(refuses) {}
  bool write(std::string_view bytes) override {
    if (refuses_) return false;
    text.append(bytes);
    return true;
  }
  std::string text;

 private:
  bool refuses_;
};

// A stand-in for the core: every "flase" is a faulty boolean, mended by "false". It keeps what
// it was asked.
class FlaseChecks final : public DocumentChecks {
 public:
  std::vector<DocumentFinding> check_unit_table(const UnitTableText& input) override {
    asked.push_back(
        {std::string(input.document.text()), std::string(input.data_directory),
         input.part_list ? std::optional<std::string>(*input.part_list) : std::nullopt});
    changes.push_back(input.changed);
    previous_counts.push_back(input.previous.size());
    std::vector<DocumentFinding> findings;
    std::size_t line = 0;
    for_each_unit_line(input.document.text(), [&](std::string_view text) {
      for (std::size_t at = text.find("flase"); at != std::string_view::npos;
           at = text.find("flase", at + 1)) {
        findings.push_back({line, at, at + 5, lint::Rule::NotBoolean, lint::Severity::Error,
                            "\"flase\" is not a boolean", "false"});
      }
      ++line;
    });
    return findings;
  }
  struct Asked {
    std::string text;
    std::string directory;
    std::optional<std::string> part_list;
    friend bool operator==(const Asked&, const Asked&) = default;
  };
  std::vector<Asked> asked;
  std::vector<std::optional<ChangedLines>> changes;
  std::vector<std::size_t> previous_counts;
};

std::string message(Json body) {
  body["jsonrpc"] = "2.0";
  return framed(json_text(body));
}
std::string request(const Json& id, std::string_view method, Json params = Json::object()) {
  return message(Json{{"id", id}, {"method", method}, {"params", std::move(params)}});
}
std::string notice(std::string_view method, Json params = Json::object()) {
  return message(Json{{"method", method}, {"params", std::move(params)}});
}
std::string initialize(Json capabilities = Json::object()) {
  return request(0, "initialize", Json{{"processId", nullptr}, {"capabilities", capabilities}});
}

struct Conversation {
  int status = -1;
  std::vector<Json> replies;
  std::string log;
};

Conversation converse(std::string input, FlaseChecks& checks, std::size_t piece = 1,
                      std::uint64_t max_body = kMaxBodyBytes) {
  TextSource source(std::move(input), piece);
  TextSink output;
  TextSink log;
  Conversation conversation;
  conversation.status = run_language_server(source, output, log, checks, max_body);
  conversation.log = log.text;
  MessageReader reader;
  std::string_view written = output.text;
  for (Frame frame; reader.next(written, frame);) {
    EXPECT_EQ(frame.kind, FrameKind::Message);
    conversation.replies.push_back(Json::parse(frame.body.view()));
  }
  EXPECT_TRUE(reader.at_boundary());
  return conversation;
}

// id: code, or id: "result" for a result, or method for a notification: the conversation's
// shape, which most tests assert whole.
std::vector<std::string> shape(const Conversation& conversation) {
  std::vector<std::string> lines;
  for (const Json& reply : conversation.replies) {
    if (reply.contains("method")) {
      lines.push_back(reply["method"].get<std::string>());
    } else if (reply.contains("error")) {
      lines.push_back(reply["id"].dump() + ": " + reply["error"]["code"].dump());
    } else {
      lines.push_back(reply["id"].dump() + ": result");
    }
  }
  return lines;
}

using Shape = std::vector<std::string>;

TEST(LanguageServer, FollowsTheProtocolsLifeCycle) {
  FlaseChecks checks;
  const std::string open_table =
      notice("textDocument/didOpen", {{"textDocument",
                                       {{"uri", "file:///mod/units/units.csv"},
                                        {"languageId", "csv"},
                                        {"version", 1},
                                        {"text", "flase"}}}});
  const Conversation conversation = converse(
      request(1, "shutdown") + open_table +  // before initialize: refused, and dropped
          initialize({{"general", {{"positionEncodings", {"utf-16", "utf-8"}}}}}) +
          notice("initialized") + request("two", "initialize") + request(3, "textDocument/rename") +
          notice("workspace/somethingNew") + notice("$/progress") + framed("{not json") +
          framed("[1,2]") + framed(R"({"id":4,"method":"shutdown"})") +
          framed(R"({"jsonrpc":"2.0","id":1.5,"method":"shutdown"})") +
          framed(R"({"jsonrpc":"2.0","id":5,"method":7})") +
          framed(R"({"jsonrpc":"2.0","id":6,"method":"shutdown","params":"x"})") +
          framed(R"({"jsonrpc":"2.0","id":7,"result":null})") +  // a response: ignored
          request(8, "shutdown") + request(9, "textDocument/rename") + open_table + notice("exit") +
          request(10, "shutdown"),  // after exit: never read
      checks);
  EXPECT_EQ(shape(conversation), (Shape{"1: -32002", "0: result", "\"two\": -32600", "3: -32601",
                                        "null: -32700", "null: -32600", "4: -32600", "null: -32600",
                                        "5: -32600", "6: -32600", "8: result", "9: -32600"}));
  EXPECT_EQ(conversation.status, 0);
  EXPECT_TRUE(checks.asked.empty());
  const Json& result = conversation.replies[1]["result"];
  EXPECT_EQ(result["capabilities"], Json::parse(R"({"positionEncoding":"utf-8","textDocumentSync":
                {"openClose":true,"change":2,"save":{"includeText":false}},
                "codeActionProvider":{"codeActionKinds":["quickfix"]},"hoverProvider":true,
                "completionProvider":{"triggerCharacters":[",","{",";"],"resolveProvider":false},
                "documentSymbolProvider":true})"));
  EXPECT_EQ(result["serverInfo"]["name"], "unitlint");
  EXPECT_EQ(conversation.replies[10]["result"], nullptr);
  EXPECT_NE(conversation.log.find("unitlint: a message that is not JSON\n"), std::string::npos);
}

TEST(LanguageServer, EndsWithOneUnlessShutDownFirst) {
  FlaseChecks checks;
  const struct {
    std::string input;
    int status;
  } cases[] = {
      {initialize() + notice("exit") + request(1, "shutdown"), 1},
      {notice("exit"), 1},
      {initialize(), 1},  // the end of input
      {initialize() + request(1, "shutdown"), 0},
      {initialize() + request(1, "shutdown") + "Content-Length: 9\r\n\r\n{", 0},
  };
  for (const auto& c : cases) {
    for (const std::size_t piece : {1, 100000}) {
      EXPECT_EQ(converse(c.input, checks, piece).status, c.status) << c.input;
    }
  }
  EXPECT_NE(converse(initialize() + "Content-Length: 9\r\n\r\n{", checks)
                .log.find("unitlint: input ended inside a message\n"),
            std::string::npos);
}

TEST(LanguageServer, CancelsTheRequestsOfItsBatch) {
  FlaseChecks checks;
  // All in one read: the cancellation of 2 reaches it before it is answered; that of 3, read
  // after 3 was answered, and that of an unknown id, change nothing.
  const std::string batch =
      request(1, "textDocument/rename") + request(2, "textDocument/rename") +
      request("s", "textDocument/rename") + notice("$/cancelRequest", {{"id", 2}}) +
      notice("$/cancelRequest", {{"id", "s"}}) + notice("$/cancelRequest", {{"id", 99}});
  const Conversation conversation =
      converse(initialize() + batch + request(4, "shutdown"), checks, 100000);
  EXPECT_EQ(shape(conversation),
            (Shape{"0: result", "1: -32601", "2: -32800", "\"s\": -32800", "4: result"}));
  const Conversation apart = converse(
      initialize() + request(3, "textDocument/rename") + notice("$/cancelRequest", {{"id", 3}}),
      checks);
  EXPECT_EQ(shape(apart), (Shape{"0: result", "3: -32601"}));
}

TEST(LanguageServer, RefusesAnAbsurdBodyAndGoesOn) {
  FlaseChecks checks;
  const Conversation conversation =
      converse(initialize() + "Content-Length: 100000\r\n\r\n" + std::string(100000, ' ') +
                   "Content-Type: x\r\n\r\n" + request(1, "shutdown"),
               checks, 4096, 1000);
  EXPECT_EQ(shape(conversation), (Shape{"0: result", "null: -32600", "null: -32700", "1: result"}));
  EXPECT_NE(conversation.log.find("a body of 100000 bytes, more than the limit of 1000"),
            std::string::npos);
}

TEST(LanguageServer, StopsWhenItsOutputIsGone) {
  FlaseChecks checks;
  TextSource source(initialize() + request(1, "shutdown") + notice("exit"), 1);
  TextSink output(true);
  TextSink log;
  EXPECT_EQ(run_language_server(source, output, log, checks), 1);
  EXPECT_EQ(log.text, "unitlint: standard output cannot be written: stopping\n");
}

Json open_params(std::string_view uri, int version, std::string_view text) {
  return {{"textDocument",
           {{"uri", uri}, {"languageId", "csv"}, {"version", version}, {"text", text}}}};
}
Json change_params(std::string_view uri, int version, Json changes) {
  return {{"textDocument", {{"uri", uri}, {"version", version}}}, {"contentChanges", changes}};
}
Json range_change(int line, int character, int end_line, int end_character, std::string_view text) {
  return {{"range",
           {{"start", {{"line", line}, {"character", character}}},
            {"end", {{"line", end_line}, {"character", end_character}}}}},
          {"text", text}};
}
Json uri_params(std::string_view uri) {
  return {{"textDocument", {{"uri", uri}}}};
}

constexpr std::string_view kTable = "file:///mod/units/units.csv";
constexpr std::string_view kParts = "file:///mod/master_part_list.csv";
// Two header lines, then a unit whose name has an é and a 😀 before its faulty boolean, with
// CR LF line ends.
const std::string kText =
    "Key,Name,Flag\r\n,,\r\nk,\xc3\xa9\xf0\x9f\x98\x80,flase\r\nj,x,flase\r\n";

TEST(LanguageServer, PublishesTheFindingsOfEachVersion) {
  FlaseChecks checks;
  const Conversation conversation = converse(
      initialize() + notice("textDocument/didOpen", open_params(kTable, 3, kText)) +
          // é😀 is three UTF-16 units: "flase" spans characters 6 to 11.
          notice("textDocument/didChange",
                 change_params(kTable, 4, {range_change(2, 6, 2, 11, "false")})) +
          // Undone by two edits in one message: the second's positions are after the first.
          notice("textDocument/didChange", change_params(kTable, 5,
                                                         {range_change(2, 6, 2, 11, ""),
                                                          range_change(2, 6, 2, 6, "flase")})) +
          notice("textDocument/didOpen", open_params(kParts, 1, "parts")) +
          notice("textDocument/didSave", uri_params(kTable)) +
          notice("textDocument/didClose", uri_params(kParts)) +
          notice("textDocument/didOpen", open_params("file:///mod/notes.csv", 1, "flase")) +
          notice("textDocument/didOpen", open_params("file:///x/../mod/units/units.csv", 1, "")) +
          notice("textDocument/didClose", uri_params(kTable)) + request(9, "shutdown"),
      checks);
  const std::string fixed =
      "Key,Name,Flag\r\n,,\r\nk,\xc3\xa9\xf0\x9f\x98\x80,false\r\nj,x,flase\r\n";
  using Asked = FlaseChecks::Asked;
  EXPECT_EQ(checks.asked, (std::vector<Asked>{{kText, "/mod", std::nullopt},
                                              {fixed, "/mod", std::nullopt},
                                              {kText, "/mod", std::nullopt},
                                              {kText, "/mod", "parts"},
                                              {kText, "/mod", "parts"},
                                              {kText, "/mod", std::nullopt}}));
  // The lines of each edit are told; a part list opened or closed, or a save, checks all.
  EXPECT_EQ(checks.changes, (std::vector<std::optional<ChangedLines>>{
                                std::nullopt, ChangedLines{2, 1, 1}, ChangedLines{2, 1, 1},
                                std::nullopt, std::nullopt, std::nullopt}));
  EXPECT_EQ(checks.previous_counts, (std::vector<std::size_t>{0, 2, 1, 2, 2, 2}));
  ASSERT_EQ(conversation.replies.size(), 9u);
  const Json first = conversation.replies[1]["params"];
  EXPECT_EQ(first, Json::parse(R"({"uri":"file:///mod/units/units.csv","version":3,
      "diagnostics":[
        {"range":{"start":{"line":2,"character":6},"end":{"line":2,"character":11}},
         "severity":1,"code":"not-boolean","source":"unitlint",
         "message":"\"flase\" is not a boolean"},
        {"range":{"start":{"line":3,"character":4},"end":{"line":3,"character":9}},
         "severity":1,"code":"not-boolean","source":"unitlint",
         "message":"\"flase\" is not a boolean"}]})"));
  EXPECT_EQ(first["diagnostics"][0]["code"], lint::rule_info(lint::Rule::NotBoolean).id);
  EXPECT_EQ(conversation.replies[2]["params"]["version"], 4);
  EXPECT_EQ(conversation.replies[2]["params"]["diagnostics"].size(), 1u);
  EXPECT_EQ(conversation.replies[3]["params"]["version"], 5);
  EXPECT_EQ(conversation.replies[3]["params"]["diagnostics"], first["diagnostics"]);
  EXPECT_EQ(conversation.replies[7]["params"],
            Json::parse(R"({"uri":"file:///mod/units/units.csv","diagnostics":[]})"));
  EXPECT_EQ(shape(conversation).back(), "9: result");
}

TEST(LanguageServer, CountsInBytesWhenTheClientTakesUtf8) {
  FlaseChecks checks;
  const Conversation conversation =
      converse(initialize({{"general", {{"positionEncodings", {"utf-8"}}}}}) +
                   notice("textDocument/didOpen", open_params(kTable, 1, kText)) +
                   notice("textDocument/didChange",
                          change_params(kTable, 2, {range_change(2, 9, 2, 14, "false")})),
               checks, 100000);
  ASSERT_EQ(conversation.replies.size(), 2u);
  EXPECT_EQ(checks.asked.size(), 1u);  // the edit came in the same read: one check
  EXPECT_EQ(checks.asked[0].text.substr(19, 16), "k,\xc3\xa9\xf0\x9f\x98\x80,false\r\n");
  const Json& diagnostics = conversation.replies[1]["params"]["diagnostics"];
  ASSERT_EQ(diagnostics.size(), 1u);
  EXPECT_EQ(diagnostics[0]["range"]["start"], Json::parse(R"({"line":3,"character":4})"));
}

Json action_params(std::string_view uri, int line, int character, int end_line, int end_character,
                   Json only = nullptr) {
  Json params = range_change(line, character, end_line, end_character, "");
  params.erase("text");
  params["textDocument"] = {{"uri", uri}};
  params["context"] = {{"diagnostics", Json::array()}};
  if (!only.is_null()) params["context"]["only"] = only;
  return params;
}

TEST(LanguageServer, OffersTheReplacementsAsQuickFixes) {
  FlaseChecks checks;
  const Conversation conversation = converse(
      initialize() + notice("textDocument/didOpen", open_params(kTable, 1, kText)) +
          request(1, "textDocument/codeAction", action_params(kTable, 2, 8, 2, 8)) +
          request(2, "textDocument/codeAction", action_params(kTable, 0, 0, 1, 0)) +
          request(3, "textDocument/codeAction", action_params(kTable, 2, 0, 3, 0, {"refactor"})) +
          request(4, "textDocument/codeAction", {{"textDocument", {{"uri", kTable}}}}) +
          request(5, "textDocument/codeAction", action_params("file:///x.csv", 0, 0, 0, 0)) +
          // The edit and the request in one read: the fix is that of the edited text.
          notice("textDocument/didChange",
                 change_params(kTable, 2, {range_change(2, 0, 2, 0, "flase,")})) +
          request(6, "textDocument/codeAction", action_params(kTable, 2, 0, 2, 0)),
      checks, 100000);
  EXPECT_EQ(shape(conversation), (Shape{"0: result", "textDocument/publishDiagnostics", "1: result",
                                        "2: result", "3: result", "4: -32602", "5: result",
                                        "textDocument/publishDiagnostics", "6: result"}));
  EXPECT_EQ(conversation.replies[2]["result"], Json::parse(R"([{
      "title":"Replace with \"false\"","kind":"quickfix","isPreferred":true,
      "diagnostics":[{"range":{"start":{"line":2,"character":6},"end":{"line":2,"character":11}},
         "severity":1,"code":"not-boolean","source":"unitlint",
         "message":"\"flase\" is not a boolean"}],
      "edit":{"changes":{"file:///mod/units/units.csv":[
         {"range":{"start":{"line":2,"character":6},"end":{"line":2,"character":11}},
          "newText":"false"}]}}}])"));
  for (const std::size_t empty : {3, 4, 6}) {
    EXPECT_EQ(conversation.replies[empty]["result"], Json::array()) << empty;
  }
  const Json& edited = conversation.replies[8]["result"];
  ASSERT_EQ(edited.size(), 1u);
  EXPECT_EQ(edited[0]["edit"]["changes"][std::string(kTable)][0]["range"]["end"],
            Json::parse(R"({"line":2,"character":5})"));
}

TEST(LanguageServer, SurvivesHostileBodies) {
  FlaseChecks checks;
  const std::size_t deep = 200000;
  const std::string nul_and_cr("Key\r,\r\0flase\r", 13);
  const Conversation conversation =
      converse(initialize() + framed(std::string(deep, '[')) +
                   framed(std::string(deep, '[') + std::string(deep, ']')) +
                   framed(R"({"jsonrpc":"2.0","id":1,"method":"x\ud800"})") +
                   notice("textDocument/didOpen", open_params(kTable, 1, nul_and_cr)) +
                   request(2, "shutdown"),
               checks, 100000);
  EXPECT_EQ(shape(conversation), (Shape{"0: result", "null: -32700", "null: -32600", "null: -32700",
                                        "2: result", "textDocument/publishDiagnostics"}));
  ASSERT_EQ(checks.asked.size(), 1u);
  EXPECT_EQ(checks.asked[0].text, nul_and_cr);
  EXPECT_EQ(conversation.replies[5]["params"]["diagnostics"][0]["range"]["start"],
            Json::parse(R"({"line":2,"character":1})"));
}

TEST(JsonRpc, WritesBytesOfNoCharacterAsReplacementCharacters) {
  EXPECT_EQ(json_text(notification("m", {{"message", "a\xff\xc3"}})),
            "{\"jsonrpc\":\"2.0\",\"method\":\"m\",\"params\":{\"message\":"
            "\"a\xef\xbf\xbd\xef\xbf\xbd\"}}");
  EXPECT_EQ(framed("{}"), "Content-Length: 2\r\n\r\n{}");
}

}  // namespace
}  // namespace unitcheck::server
