#include "server/language_server.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <future>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "csv/unit_lines.h"
#include "lint/rules.h"
#include "platform/failure.h"
#include "server/message_json.h"
#include "support/os_pipe.h"

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
    changed_paths.emplace_back(input.changed_paths.begin(), input.changed_paths.end());
    if (during_check) during_check(asked.size());
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
  std::vector<std::vector<std::string>> changed_paths;
  // Called in each check with its number (from 1): the client may write meanwhile.
  std::function<void(std::size_t)> during_check;
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
  conversation.status = run_language_server(source, output, log, checks, {max_body});
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

constexpr auto kPatience = std::chrono::seconds(20);

// The client's end of a pipe: the test writes when it chooses, and a read waits for bytes, as a
// read of standard input does.
class PipeSource final : public ByteSource {
 public:
  void send(std::string_view bytes) {
    const std::lock_guard lock(mutex_);
    text_.append(bytes);
    changed_.notify_all();
  }
  void end() {
    const std::lock_guard lock(mutex_);
    ended_ = true;
    changed_.notify_all();
  }
  // Waits until the server has read every byte sent and asks for more: by then the frames of
  // its earlier reads are queued.
  void wait_until_read() {
    std::unique_lock lock(mutex_);
    ASSERT_TRUE(
        changed_.wait_for(lock, kPatience, [&] { return waiting_ && at_ == text_.size(); }));
  }
  std::size_t read(std::span<char> buffer) override {
    std::unique_lock lock(mutex_);
    waiting_ = true;
    changed_.notify_all();
    changed_.wait(lock, [&] { return at_ < text_.size() || ended_ || interrupted_; });
    waiting_ = false;
    if (interrupted_) return 0;
    const std::size_t size = std::min(buffer.size(), text_.size() - at_);
    std::copy_n(text_.data() + at_, size, buffer.data());
    at_ += size;
    return size;
  }
  void interrupt() override {
    const std::lock_guard lock(mutex_);
    interrupted_ = true;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::string text_;
  std::size_t at_ = 0;
  bool waiting_ = false;
  bool ended_ = false;
  bool interrupted_ = false;
};

// The server's output as the client reads it: whole messages, which the test can wait for. A
// closed sink blocks every write until it is opened, as a pipe that nobody reads.
class ClientSink final : public ByteSink {
 public:
  explicit ClientSink(bool open = true) : open_(open) {}
  bool write(std::string_view bytes) override {
    std::unique_lock lock(mutex_);
    ++writes_;
    changed_.notify_all();
    changed_.wait(lock, [&] { return open_; });
    text_.append(bytes);
    std::string_view unread = std::string_view(text_).substr(at_);
    for (Frame frame; reader_.next(unread, frame);) {
      EXPECT_EQ(frame.kind, FrameKind::Message);
      messages_.push_back(Json::parse(frame.body.view()));
    }
    at_ = text_.size();
    changed_.notify_all();
    return true;
  }
  void open() {
    const std::lock_guard lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }
  // Waits until a write was tried.
  void wait_for_writer() {
    std::unique_lock lock(mutex_);
    ASSERT_TRUE(changed_.wait_for(lock, kPatience, [&] { return writes_ > 0; }));
  }
  // The messages written, once there are at least count of them (or after a long wait).
  std::vector<Json> wait_for(std::size_t count) {
    std::unique_lock lock(mutex_);
    EXPECT_TRUE(changed_.wait_for(lock, kPatience, [&] { return messages_.size() >= count; }))
        << "waited for " << count << " messages";
    return messages_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool open_;
  std::size_t writes_ = 0;
  std::string text_;
  std::size_t at_ = 0;
  MessageReader reader_;
  std::vector<Json> messages_;
};

// A conversation in steps: the server runs on its own thread, and the test sends, then waits
// for what must come back before it sends again.
class Client {
 public:
  explicit Client(FlaseChecks& checks, ServerLimits limits = {}, bool output_open = true)
      : output_(output_open), server_([this, &checks, limits] {
          status_ = run_language_server(input_, output_, log_, checks, limits);
        }) {}
  ~Client() {
    input_.end();
    if (server_.joinable()) server_.join();
  }
  void send(std::string_view bytes) { input_.send(bytes); }
  std::vector<Json> wait_for(std::size_t count) { return output_.wait_for(count); }
  PipeSource& input() { return input_; }
  ClientSink& output() { return output_; }
  // Ends the input and waits for the server's status.
  int finish() {
    input_.end();
    server_.join();
    return status_;
  }
  // Read after finish.
  const std::string& log() const { return log_.text; }

 private:
  PipeSource input_;
  ClientSink output_;
  TextSink log_;
  int status_ = -1;
  std::thread server_;
};

std::vector<std::string> shape_of(const std::vector<Json>& replies) {
  return shape(Conversation{0, replies, ""});
}

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
                "documentSymbolProvider":true,"definitionProvider":true,
                "inlayHintProvider":true})"));
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
  // A cancellation that comes after the answer changes nothing.
  Client client(checks);
  client.send(initialize() + request(3, "textDocument/rename"));
  client.wait_for(2);
  client.send(notice("$/cancelRequest", {{"id", 3}}) + request(4, "shutdown"));
  EXPECT_EQ(shape_of(client.wait_for(3)), (Shape{"0: result", "3: -32601", "4: result"}));
  EXPECT_EQ(client.finish(), 0);
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
  // Each step waits for the server's answers, so that no edit is coalesced with the next.
  const std::pair<std::string, std::size_t> steps[] = {
      {initialize() + notice("textDocument/didOpen", open_params(kTable, 3, kText)), 2},
      // é😀 is three UTF-16 units: "flase" spans characters 6 to 11.
      {notice("textDocument/didChange",
              change_params(kTable, 4, {range_change(2, 6, 2, 11, "false")})),
       3},
      // Undone by two edits in one message: the second's positions are after the first.
      {notice("textDocument/didChange",
              change_params(kTable, 5,
                            {range_change(2, 6, 2, 11, ""), range_change(2, 6, 2, 6, "flase")})),
       4},
      {notice("textDocument/didOpen", open_params(kParts, 1, "parts")), 5},
      {notice("textDocument/didSave", uri_params(kTable)), 6},
      {notice("textDocument/didClose", uri_params(kParts)), 7},
      {notice("textDocument/didOpen", open_params("file:///mod/notes.csv", 1, "flase")) +
           notice("textDocument/didOpen", open_params("file:///x/../mod/units/units.csv", 1, "")) +
           notice("textDocument/didClose", uri_params(kTable)),
       8},
      {request(9, "shutdown"), 9},
  };
  Client client(checks);
  Conversation conversation;
  for (const auto& [bytes, replies] : steps) {
    client.send(bytes);
    conversation.replies = client.wait_for(replies);
  }
  EXPECT_EQ(client.finish(), 0);
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

// A check that cannot run (memory gone, a file that cannot be read) is shown in the document as
// one error on its first line saying why, and told once as a message until a check runs again;
// the next check is then a whole one, and its findings are published. A client's bound on
// diagnostics keeps the errors first and counts the rest in one more diagnostic.
TEST(LanguageServer, ShowsATableThatCannotBeCheckedAndBoundsItsDiagnostics) {
  FlaseChecks checks;
  checks.during_check = [](std::size_t check) {
    if (check == 2) throw std::bad_alloc();
    if (check == 3) throw Failure("EFOpenError", "cannot open '/mod/master_part_list.csv'");
  };
  const std::string three_faults = "Key,Name,Flag\r\n,,\r\nk,flase,flase\r\nj,x,flase\r\n";
  const std::pair<std::string, std::size_t> steps[] = {
      {request(0, "initialize",
               Json{{"processId", nullptr},
                    {"capabilities", Json::object()},
                    {"initializationOptions", {{"maxDiagnostics", 2}}}}) +
           notice("textDocument/didOpen", open_params(kTable, 1, three_faults)),
       2},
      {notice("textDocument/didChange", change_params(kTable, 2, {range_change(3, 0, 3, 1, "i")})),
       4},
      {notice("textDocument/didChange", change_params(kTable, 3, {range_change(3, 0, 3, 1, "h")})),
       5},
      {notice("textDocument/didChange", change_params(kTable, 4, {range_change(3, 0, 3, 1, "g")})),
       6},
      {request(9, "shutdown"), 7},
  };
  Client client(checks);
  std::vector<Json> replies;
  for (const auto& [bytes, count] : steps) {
    client.send(bytes);
    replies = client.wait_for(count);
  }
  EXPECT_EQ(client.finish(), 0);
  EXPECT_EQ(shape_of(replies), (Shape{"0: result", "textDocument/publishDiagnostics",
                                      "textDocument/publishDiagnostics", "window/showMessage",
                                      "textDocument/publishDiagnostics",
                                      "textDocument/publishDiagnostics", "9: result"}));
  const auto kept = [](const Json& publication) {
    std::vector<std::string> out;
    for (const Json& d : publication["params"]["diagnostics"])
      out.push_back(d["range"]["start"].dump() + " " + d["code"].get<std::string>() + " " +
                    d["severity"].dump());
    return out;
  };
  const std::vector<std::string> bounded{R"({"line":2,"character":2} not-boolean 1)",
                                         R"({"line":2,"character":8} not-boolean 1)",
                                         R"({"line":0,"character":0} more-findings 3)"};
  EXPECT_EQ(kept(replies[1]), bounded);
  EXPECT_EQ(replies[1]["params"]["diagnostics"][2]["message"],
            "1 more findings are not shown here (at most 2 per document, errors first); unitlint "
            "--format html lists them all");
  EXPECT_EQ(kept(replies[2]),
            (std::vector<std::string>{R"({"line":0,"character":0} cannot-check 1)"}));
  EXPECT_EQ(replies[2]["params"]["version"], 2);
  EXPECT_EQ(replies[2]["params"]["diagnostics"][0]["message"],
            "this table could not be checked: out of memory; its findings are not shown until it "
            "can be");
  EXPECT_EQ(replies[3]["params"]["type"], 1);
  EXPECT_NE(replies[3]["params"]["message"].get<std::string>().find("out of memory"),
            std::string::npos);
  EXPECT_EQ(replies[4]["params"]["diagnostics"][0]["message"],
            "this table could not be checked: cannot open '/mod/master_part_list.csv'; its "
            "findings are not shown until it can be");
  EXPECT_EQ(kept(replies[5]), bounded);
  EXPECT_EQ(replies[5]["params"]["version"], 4);
  // After a failure nothing of the earlier findings is handed on: the check is whole.
  ASSERT_EQ(checks.changes.size(), 4u);
  EXPECT_FALSE(checks.changes[0]);
  EXPECT_TRUE(checks.changes[1]);  // an edit: its lines only
  EXPECT_FALSE(checks.changes[2]);
  EXPECT_FALSE(checks.changes[3]);
  EXPECT_EQ(checks.previous_counts, (std::vector<std::size_t>{0, 3, 0, 0}));
  EXPECT_NE(client.log().find("checking file:///mod/units/units.csv failed: out of memory"),
            std::string::npos);
}

// URIs as clients send them: raw spaces and raw UTF-8 name the file they spell; an escaped
// slash inside a name, and a units.csv outside a units/ folder, are not checked, and the log
// says why rather than nothing.
TEST(LanguageServer, TakesUrisAsClientsSendThemAndSaysWhyOthersAreLeftAlone) {
  FlaseChecks checks;
  const std::string raw = "file:///my mods/\xc3\xa9t\xc3\xa9/units/units.csv";
  Client client(checks);
  client.send(initialize() + notice("textDocument/didOpen", open_params(raw, 1, "k,flase\n")));
  std::vector<Json> replies = client.wait_for(2);
  client.send(
      notice("textDocument/didOpen", open_params("file:///mods/units%2Funits.csv", 1, "flase")) +
      notice("textDocument/didOpen", open_params("file:///mods/data/units.csv", 1, "flase")) +
      request(9, "shutdown"));
  replies = client.wait_for(3);
  EXPECT_EQ(client.finish(), 0);
  EXPECT_EQ(shape_of(replies),
            (Shape{"0: result", "textDocument/publishDiagnostics", "9: result"}));
  EXPECT_EQ(replies[1]["params"]["uri"], raw);
  ASSERT_EQ(checks.asked.size(), 1u);
  EXPECT_EQ(checks.asked[0].directory, "/my mods/\xc3\xa9t\xc3\xa9");
  EXPECT_NE(client.log().find("not checked: file:///mods/units%2Funits.csv: an escaped slash "
                              "(%2F) inside a name"),
            std::string::npos)
      << client.log();
  EXPECT_NE(client.log().find("not checked: file:///mods/data/units.csv: a units.csv is a unit "
                              "table only in a folder named units"),
            std::string::npos)
      << client.log();
}

// Texts long enough to be read in the message's own bytes, with every kind of escape: opened,
// replaced whole, inserted by a range edit, and one that JSON refuses, which changes nothing.
TEST(LanguageServer, TakesLongTextsAsTheyCame) {
  FlaseChecks checks;
  std::string opened = "Key,Name,Flag\r\n,,\r\n";
  while (opened.size() < 2 * kLongString)
    opened.append(std::string("k,\xc3\xa9\"q\\\0\t/,true\r\n", 17));
  opened.append("z,x,flase\n");
  const std::string replaced = opened + "y,\xf0\x9f\x98\x80,flase\n";
  std::string inserted;
  while (inserted.size() < kLongString) inserted.append("a,b,flase\r\n");
  const std::size_t inserted_lines = inserted.size() / 11;
  const std::string edited = replaced.substr(0, 15) + inserted + replaced.substr(15);
  std::string refused = json_text(change_params(kTable, 9, {Json{{"text", opened}}}));
  refused.insert(refused.rfind('"'), R"(\ud800)");
  const std::pair<std::string, std::size_t> steps[] = {
      // Every finding is published: the bound on them is the client's to raise.
      {request(0, "initialize",
               Json{{"processId", nullptr},
                    {"capabilities", Json::object()},
                    {"initializationOptions", {{"maxDiagnostics", 100000}}}}) +
           notice("textDocument/didOpen", open_params(kTable, 1, opened)),
       2},
      {notice("textDocument/didChange", change_params(kTable, 2, {Json{{"text", replaced}}})), 3},
      {notice("textDocument/didChange",
              change_params(kTable, 3, {range_change(1, 0, 1, 0, inserted)})),
       4},
      {framed(R"({"jsonrpc":"2.0","method":"textDocument/didChange","params":)" + refused + "}"),
       5},
      {notice("textDocument/didSave", uri_params(kTable)), 6},
      {request(7, "shutdown"), 7},
  };
  Client client(checks);
  std::vector<Json> replies;
  for (const auto& [bytes, count] : steps) {
    client.send(bytes);
    replies = client.wait_for(count);
  }
  EXPECT_EQ(client.finish(), 0);
  EXPECT_EQ(shape_of(replies),
            (Shape{"0: result", "textDocument/publishDiagnostics",
                   "textDocument/publishDiagnostics", "textDocument/publishDiagnostics",
                   "null: -32700", "textDocument/publishDiagnostics", "7: result"}));
  ASSERT_EQ(checks.asked.size(), 4u);
  EXPECT_EQ(checks.asked[0].text, opened);
  EXPECT_EQ(checks.asked[1].text, replaced);
  EXPECT_EQ(checks.asked[2].text, edited);
  EXPECT_EQ(checks.asked[3].text, edited);
  EXPECT_EQ(checks.changes[1], std::nullopt);
  EXPECT_EQ(checks.changes[2], (ChangedLines{0, 2, 2 + inserted_lines}));
  EXPECT_EQ(replies[1]["params"]["diagnostics"].size(), 1u);
  EXPECT_EQ(replies[2]["params"]["diagnostics"].size(), 2u);
  EXPECT_EQ(replies[3]["params"]["diagnostics"].size(), 2 + inserted_lines);
  EXPECT_EQ(replies[5]["params"]["version"], 3);
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

TEST(LanguageServer, HandlesWhatArrivesDuringACheckBeforeTheNext) {
  FlaseChecks checks;
  Client client(checks);
  // While version 1 is checked, the client mends both lines in two edits, asks for quick fixes
  // and cancels them, and asks for something the server lacks.
  checks.during_check = [&client](std::size_t check) {
    if (check != 1) return;
    client.send(notice("textDocument/didChange",
                       change_params(kTable, 2, {range_change(2, 6, 2, 11, "false")})) +
                notice("textDocument/didChange",
                       change_params(kTable, 3, {range_change(3, 4, 3, 9, "false")})) +
                request(5, "textDocument/codeAction", action_params(kTable, 2, 6, 2, 6)) +
                // "\/" is "/" in JSON.
                framed(R"({"jsonrpc":"2.0","method":"$\/cancelRequest","params":{"id":5}})") +
                request(6, "textDocument/rename"));
    client.input().wait_until_read();
  };
  client.send(initialize() + notice("textDocument/didOpen", open_params(kTable, 1, kText)));
  const std::vector<Json> replies = client.wait_for(5);
  EXPECT_EQ(shape_of(replies), (Shape{"0: result", "textDocument/publishDiagnostics", "5: -32800",
                                      "6: -32601", "textDocument/publishDiagnostics"}));
  // Version 2 was never checked: the edits were applied together, and told as one change.
  using Asked = FlaseChecks::Asked;
  EXPECT_EQ(checks.asked,
            (std::vector<Asked>{
                {kText, "/mod", std::nullopt},
                {"Key,Name,Flag\r\n,,\r\nk,\xc3\xa9\xf0\x9f\x98\x80,false\r\nj,x,false\r\n", "/mod",
                 std::nullopt}}));
  EXPECT_EQ(checks.changes.back(), (ChangedLines{2, 2, 2}));
  EXPECT_EQ(replies[1]["params"]["version"], 1);
  EXPECT_EQ(replies[4]["params"]["version"], 3);
  EXPECT_EQ(replies[4]["params"]["diagnostics"], Json::array());
  client.send(request(7, "shutdown") + notice("exit"));
  EXPECT_EQ(shape_of(client.wait_for(6)).back(), "7: result");
  EXPECT_EQ(client.finish(), 0);
}

Json watching_client(bool dynamic) {
  return {{"workspace", {{"didChangeWatchedFiles", {{"dynamicRegistration", dynamic}}}}}};
}
Json file_changes(std::initializer_list<std::string_view> uris) {
  Json changes = Json::array();
  for (const std::string_view uri : uris) changes.push_back({{"uri", uri}, {"type", 2}});
  return {{"changes", changes}};
}

TEST(LanguageServer, TellsEachTableTheFilesThatChangedInItsDirectory) {
  {
    FlaseChecks checks;
    const Conversation plain = converse(
        initialize(watching_client(false)) + notice("initialized") + request(1, "shutdown"), checks,
        100000);
    EXPECT_EQ(shape(plain), (Shape{"0: result", "1: result"}));
  }
  FlaseChecks checks;
  Client client(checks);
  client.send(initialize(watching_client(true)) + notice("initialized") + notice("initialized"));
  std::vector<Json> replies = client.wait_for(2);
  EXPECT_EQ(replies[1], Json::parse(R"({"jsonrpc":"2.0","id":1,
      "method":"client/registerCapability","params":{"registrations":[{
        "id":"unitlint-watched-files","method":"workspace/didChangeWatchedFiles",
        "registerOptions":{"watchers":[{"globPattern":"**/units/**"},
          {"globPattern":"**/cockpits/**"},{"globPattern":"**/meshes/**"},
          {"globPattern":"**/master_part_list.csv"}]}}]}})"));
  // The client refuses, and answers a request never sent: both are logged, neither answered.
  const std::string other = "file:///other/units/units.csv";
  client.send(message({{"id", 1}, {"error", {{"code", -32601}, {"message", "not here"}}}}) +
              message({{"id", 77}, {"result", nullptr}}) +
              notice("textDocument/didOpen", open_params(kTable, 1, "flase")) +
              notice("textDocument/didOpen", open_params(other, 1, "x")));
  client.wait_for(4);
  client.send(notice("workspace/didChangeWatchedFiles",
                     file_changes({"file:///mod/units/ship/ship.bfxm", "file:///mod/cockpits/c%20p",
                                   "file:///mod/units/ship/ship.bfxm",
                                   "file:///mod/units/../../etc/passwd", "https://mod/units/x",
                                   "file:///elsewhere/meshes/m.bfxm", "file:///modern/units/x"})));
  client.wait_for(5);
  // A part list that is not open changed on disk: the table is checked as a whole.
  client.send(notice("workspace/didChangeWatchedFiles",
                     file_changes({"file:///other/master_part_list.csv"})));
  client.wait_for(6);
  client.send(request(2, "shutdown"));
  replies = client.wait_for(7);
  EXPECT_EQ(client.finish(), 0);

  EXPECT_EQ(shape_of(replies),
            (Shape{"0: result", "client/registerCapability", "textDocument/publishDiagnostics",
                   "textDocument/publishDiagnostics", "textDocument/publishDiagnostics",
                   "textDocument/publishDiagnostics", "2: result"}));
  EXPECT_EQ(replies[4]["params"]["uri"], kTable);
  EXPECT_EQ(replies[5]["params"]["uri"], other);
  ASSERT_EQ(checks.asked.size(), 4u);
  EXPECT_EQ(checks.asked[2].directory, "/mod");
  EXPECT_EQ(checks.changed_paths,
            (std::vector<std::vector<std::string>>{
                {}, {}, {"/mod/cockpits/c p", "/mod/units/ship/ship.bfxm"}, {}}));
  EXPECT_EQ(checks.changes[2], ChangedLines{});
  EXPECT_EQ(checks.changes[3], std::nullopt);
  for (const char* logged :
       {"unitlint: client/registerCapability failed: not here\n",
        "unitlint: a response to no request of this server: 77\n",
        "unitlint: didChangeWatchedFiles: no file at \"file:///mod/units/../../etc/passwd\"\n"}) {
    EXPECT_NE(client.log().find(logged), std::string::npos) << logged;
  }
}

// A client that sends edits of one table without end, and reads nothing: each read hands over
// the next edit, until the test tells it to end with shutdown and the end of input.
class EditFlood final : public ByteSource {
 public:
  explicit EditFlood(std::string start) : pending_(std::move(start)) {}
  std::size_t read(std::span<char> buffer) override {
    const std::lock_guard lock(mutex_);
    if (at_ == pending_.size()) {
      if (ended_) return 0;
      at_ = 0;
      if (stopping_) {
        pending_ = request(1, "shutdown");
        ended_ = true;
      } else {
        pending_ = notice("textDocument/didChange",
                          change_params(kTable, ++version_, {{{"text", kText}}}));
      }
    }
    const std::size_t size = std::min(buffer.size(), pending_.size() - at_);
    std::copy_n(pending_.data() + at_, size, buffer.data());
    at_ += size;
    given_ += size;
    return size;
  }
  void stop() {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  std::size_t given() {
    const std::lock_guard lock(mutex_);
    return given_;
  }
  int last_version() {
    const std::lock_guard lock(mutex_);
    return version_;
  }

 private:
  std::mutex mutex_;
  std::string pending_;
  std::size_t at_ = 0;
  std::size_t given_ = 0;
  int version_ = 1;
  bool stopping_ = false;
  bool ended_ = false;
};

TEST(LanguageServer, StopsReadingWhileItsOutputIsBlocked) {
  constexpr std::size_t kBound = std::size_t{256} << 10;
  constexpr std::size_t kRead = std::size_t{64} << 10;
  FlaseChecks checks;
  EditFlood input(initialize() + notice("textDocument/didOpen", open_params(kTable, 1, kText)));
  ClientSink output(false);
  TextSink log;
  int status = -1;
  std::thread server([&] {
    status = run_language_server(input, output, log, checks, {kMaxBodyBytes, kBound});
  });
  output.wait_for_writer();
  // The reader fills the queue (each frame weighs its body and a share for itself), and then
  // takes no more of the client's bytes.
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  for (std::size_t before = 0; input.given() != before || before <= kBound / 2;) {
    before = input.given();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    if (std::chrono::steady_clock::now() > deadline) break;
  }
  const std::size_t given = input.given();
  EXPECT_GT(given, kBound / 2);
  // At most: the queue past its bound by one read, the frames of a read waiting to go in, the
  // batch the server held when its write blocked, and a message partly read.
  EXPECT_LT(given, kBound + 4 * kRead);
  input.stop();
  output.open();
  server.join();
  EXPECT_EQ(status, 0);
  const std::vector<Json> replies = output.wait_for(0);
  std::size_t publications = 0;
  Json last_version;
  for (const Json& reply : replies) {
    if (!reply.contains("method")) continue;
    ++publications;
    last_version = reply["params"]["version"];
  }
  // The edits queued while it waited were checked once, and the last version was published
  // (after shutdown, when they came together: the check was owed).
  EXPECT_LT(publications * 10, static_cast<std::size_t>(input.last_version()));
  EXPECT_EQ(last_version, input.last_version());
  const Shape shape = shape_of(replies);
  EXPECT_EQ(std::count(shape.begin(), shape.end(), "1: result"), 1);
}

TEST(LanguageServer, ExitsWhileItsReaderWaitsForInput) {
  int fds[2];
  ASSERT_TRUE(testing::make_os_pipe(fds));
  const std::string said = initialize() + request(1, "shutdown") + notice("exit");
  ASSERT_TRUE(testing::write_to_fd(fds[1], said));
  FlaseChecks checks;
  FdSource input(fds[0]);
  TextSink output;
  TextSink log;
  auto done = std::async(std::launch::async,
                         [&] { return run_language_server(input, output, log, checks); });
  const bool ended = done.wait_for(kPatience) == std::future_status::ready;
  testing::close_fd(fds[1]);  // frees a server that still waits, so that the test ends either way
  EXPECT_TRUE(ended);
  EXPECT_EQ(done.get(), 0);
  testing::close_fd(fds[0]);
  EXPECT_EQ(log.text, "");
  EXPECT_NE(output.text.find("\"id\":1,\"result\":null"), std::string::npos);
}

TEST(JsonRpc, WritesBytesOfNoCharacterAsReplacementCharacters) {
  EXPECT_EQ(json_text(notification("m", {{"message", "a\xff\xc3"}})),
            "{\"jsonrpc\":\"2.0\",\"method\":\"m\",\"params\":{\"message\":"
            "\"a\xef\xbf\xbd\xef\xbf\xbd\"}}");
  EXPECT_EQ(framed("{}"), "Content-Length: 2\r\n\r\n{}");
}

}  // namespace
}  // namespace unitcheck::server
