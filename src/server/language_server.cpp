#include "server/language_server.h"

#include <algorithm>
#include <exception>
#include <new>
#include <thread>
#include <utility>
#include <vector>

#include "lint/lint_messages.h"
#include "lint/version.h"
#include "platform/page_warmer.h"
#include "server/code_actions.h"
#include "server/content_change.h"
#include "server/diagnostics.h"
#include "server/file_uri.h"
#include "server/message_json.h"
#include "server/place_requests.h"

namespace unitcheck::server {
namespace {

// The longest body looked through for a cancellation before its batch is answered.
constexpr std::size_t kLongestCancellation = std::size_t{64} << 10;

constexpr std::size_t kReadSize = std::size_t{1} << 20;

// The version of params.textDocument: an integer, or nullopt.
std::optional<std::int64_t> document_version(const Json& params) {
  const Json& document = params["textDocument"];
  const auto version = document.find("version");
  if (version == document.end() || !version->is_number_integer()) return std::nullopt;
  return version->get<std::int64_t>();
}

// UTF-8 when the client offers it: positions are then byte counts, which the checks count in.
PositionEncoding negotiate_encoding(const Json& params) {
  const Json* encodings = &params;
  for (const char* key : {"capabilities", "general", "positionEncodings"}) {
    if (!encodings->is_object() || !encodings->contains(key)) return PositionEncoding::Utf16;
    encodings = &(*encodings)[key];
  }
  if (!encodings->is_array()) return PositionEncoding::Utf16;
  for (const Json& name : *encodings) {
    if (name == "utf-8") return PositionEncoding::Utf8;
  }
  return PositionEncoding::Utf16;
}

// The files whose change may change a unit table's findings: the unit folders (and the table),
// the cockpits, the meshes, and the part list.
Json watched_files_registration() {
  Json watchers = Json::array();
  for (const char* pattern :
       {"**/units/**", "**/cockpits/**", "**/meshes/**", "**/master_part_list.csv"}) {
    watchers.push_back({{"globPattern", pattern}});
  }
  return {{"registrations",
           {{{"id", "unitlint-watched-files"},
             {"method", "workspace/didChangeWatchedFiles"},
             {"registerOptions", {{"watchers", watchers}}}}}}};
}

}  // namespace

int LanguageServer::exit_status() const {
  if (exit_status_) return *exit_status_;
  return state_ == State::ShutDown && !output_lost_ ? 0 : 1;
}

void LanguageServer::send_request(std::string_view method, Json params) {
  const std::int64_t id = next_request_id_++;
  requests_sent_.emplace(id, std::string(method));
  send(Json{{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", std::move(params)}});
}

void LanguageServer::send(const Json& message) {
  send_text(json_text(message));
}

void LanguageServer::send_text(std::string_view message) {
  if (output_lost_) return;
  if (!output_.write(framed(message))) {
    output_lost_ = true;
    log("standard output cannot be written: stopping");
  }
}

// The log is a terminal's as often as a file's: a client's URI or a mod's text in it is shown,
// its control characters escaped.
void LanguageServer::log(std::string_view text) {
  std::string line = "unitlint: ";
  lint::append_without_controls(line, text);
  line.push_back('\n');
  log_.write(line);
}

void LanguageServer::run() {
  while (!stopped()) {
    // Idle, the server waits for the client; with checks owed, it only looks.
    take_frames(to_check_.empty());
    handle_batch();
    if (stopped()) break;
    if (!to_check_.empty()) {
      check_and_publish(*to_check_.begin());
    } else if (input_.ended()) {
      break;
    }
  }
}

// The cancellations are found as the frames are taken, before any request of the batch is
// answered. Only a body that names the method is parsed here (looked for without its "$/",
// which JSON may write "$\/"): the others are parsed one at a time as they are handled, so that
// a batch weighs its bytes rather than their JSON values. A cancellation is a few dozen bytes:
// longer bodies are not looked through (a document's text of 69 MB took 8 ms), and one that
// were a cancellation would still be handled in its turn.
void LanguageServer::take_frames(bool wait) {
  for (Frame& frame : input_.take(wait)) {
    const Frame& taken = batch_.emplace_back(std::move(frame));
    if (taken.kind != FrameKind::Message || taken.body.size() > kLongestCancellation ||
        taken.body.view().find("cancelRequest") == std::string_view::npos) {
      continue;
    }
    const Json message = parse_message(taken.body.view());
    if (!message.is_object() || message.value("method", Json()) != "$/cancelRequest") continue;
    const Json params = message.value("params", Json());
    if (params.is_object() && params.contains("id") && is_request_id(params["id"])) {
      cancelled_.insert(json_text(params["id"]));
    }
  }
}

void LanguageServer::handle_batch() {
  while (!batch_.empty() && !stopped()) {
    Frame frame = std::move(batch_.front());
    batch_.pop_front();
    handle_frame(frame);
  }
  batch_.clear();
  // A cancellation outlives its batch only to be forgotten: its request was answered before.
  cancelled_.clear();
}

void LanguageServer::handle_frame(Frame& frame) {
  if (frame.kind != FrameKind::Message) {
    frame_fault(frame);
    return;
  }
  Message message = read_message(std::move(frame.body));
  frame.body = ByteBuffer();
  if (message.json.is_discarded()) {
    log("a message that is not JSON");
    send(error_response(nullptr, ErrorCode::ParseError, "the message is not JSON"));
  } else {
    handle_message(message);
  }
}

void LanguageServer::frame_fault(const Frame& frame) {
  log("refused a message: " + frame.detail);
  const ErrorCode code =
      frame.kind == FrameKind::BodyTooLarge ? ErrorCode::InvalidRequest : ErrorCode::ParseError;
  send(error_response(nullptr, code, "refused a message: " + frame.detail));
}

void LanguageServer::handle_message(Message& read) {
  Json& message = read.json;
  if (!message.is_object()) {
    send(error_response(nullptr, ErrorCode::InvalidRequest, "a message must be a JSON object"));
    return;
  }
  const auto id = message.find("id");
  const bool has_id = id != message.end();
  const Json reply_id = has_id && is_request_id(*id) ? *id : Json(nullptr);
  const auto method = message.find("method");
  if (message.value("jsonrpc", Json()) != "2.0") {
    send(error_response(reply_id, ErrorCode::InvalidRequest, "jsonrpc must be \"2.0\""));
    return;
  }
  if (method == message.end()) {
    if (has_id && (message.contains("result") || message.contains("error"))) {
      handle_response(message);
      return;
    }
    send(error_response(reply_id, ErrorCode::InvalidRequest, "a message without a method"));
    return;
  }
  if (!method->is_string()) {
    send(error_response(reply_id, ErrorCode::InvalidRequest, "method must be a string"));
    return;
  }
  // Moved, not copied: a document's text may be tens of megabytes.
  Json params;
  if (const auto given = message.find("params"); given != message.end()) params = std::move(*given);
  if (!params.is_null() && !params.is_object() && !params.is_array()) {
    send(error_response(reply_id, ErrorCode::InvalidRequest, "params must be an object or array"));
    return;
  }
  const std::string& name = method->get_ref<const std::string&>();
  if (!has_id) {
    handle_notification(name, params, read);
    return;
  }
  if (!is_request_id(*id)) {
    send(error_response(nullptr, ErrorCode::InvalidRequest,
                        "a request id must be an integer or a string"));
    return;
  }
  try {
    handle_request(*id, name, params);
  } catch (const std::exception& failure) {
    log(std::string("request ") + name + " failed: " + failure.what());
    send(error_response(*id, ErrorCode::InternalError, failure.what()));
  }
}

// The client's answer to a request of the server's: an error is logged, as the client may not
// show it.
void LanguageServer::handle_response(const Json& message) {
  const Json& id = message["id"];
  const auto sent =
      id.is_number_integer() ? requests_sent_.find(id.get<std::int64_t>()) : requests_sent_.end();
  if (sent == requests_sent_.end()) {
    log("a response to no request of this server: " + json_text(id));
    return;
  }
  const Json error = message.value("error", Json());
  if (!error.is_null()) {
    const Json text = error.is_object() ? error.value("message", Json()) : Json();
    log(sent->second +
        " failed: " + (text.is_string() ? text.get<std::string>() : json_text(error)));
  }
  requests_sent_.erase(sent);
}

void LanguageServer::handle_request(const Json& id, std::string_view method, Json& params) {
  if (state_ == State::NotInitialized) {
    if (method != "initialize") {
      send(error_response(id, ErrorCode::ServerNotInitialized, "initialize comes first"));
      return;
    }
    if (!params.is_object()) {
      send(error_response(id, ErrorCode::InvalidParams, "initialize's params must be an object"));
      return;
    }
    send(result_response(id, initialize(params)));
    return;
  }
  if (cancelled_.erase(json_text(id)) > 0) {
    send(error_response(id, ErrorCode::RequestCancelled, "the request was cancelled"));
    return;
  }
  if (state_ == State::ShutDown) {
    send(error_response(id, ErrorCode::InvalidRequest, "the server is shutting down"));
    return;
  }
  if (method == "initialize") {
    send(error_response(id, ErrorCode::InvalidRequest, "initialize was received before"));
  } else if (method == "shutdown") {
    state_ = State::ShutDown;
    send(result_response(id, nullptr));
  } else if (method == "textDocument/codeAction") {
    code_action(id, params);
  } else if (is_place_request(method)) {
    place_request(id, method, params);
  } else if (method == "textDocument/definition") {
    definition(id, params);
  } else if (method == "textDocument/inlayHint") {
    inlay_hints(id, params);
  } else {
    send(error_response(id, ErrorCode::MethodNotFound,
                        "no method " + std::string(method) + " in this server"));
  }
}

Json LanguageServer::initialize(const Json& params) {
  encoding_ = negotiate_encoding(params);
  features_ = client_features(params);
  state_ = State::Running;
  // Only what is built is declared: documents are synchronised by their edits, and saving is
  // reported without the text, which the server holds already.
  Json sync{{"openClose", true}, {"change", 2}, {"save", {{"includeText", false}}}};
  return Json{{"capabilities",
               {{"positionEncoding", encoding_name(encoding_)},
                {"textDocumentSync", sync},
                {"codeActionProvider", {{"codeActionKinds", {"quickfix"}}}},
                {"hoverProvider", true},
                {"completionProvider", place_completion_options()},
                {"documentSymbolProvider", true},
                {"definitionProvider", true},
                {"inlayHintProvider", true}}},
              {"serverInfo", {{"name", "unitlint"}, {"version", lint::kVersion}}}};
}

bool LanguageServer::check_before_answering(const Json& id, const std::string& uri) {
  if (!to_check_.contains(uri)) return true;
  take_frames(false);
  if (cancelled_.erase(json_text(id)) > 0) {
    send(error_response(id, ErrorCode::RequestCancelled, "the request was cancelled"));
    return false;
  }
  check_and_publish(uri);
  return true;
}

void LanguageServer::code_action(const Json& id, const Json& params) {
  const std::string* uri = document_uri(params);
  const OpenDocument* document = uri ? documents_.find(*uri) : nullptr;
  const Json range = params.is_object() ? params.value("range", Json()) : Json();
  const std::optional<Position> start =
      range.is_object() ? position_from_json(range.value("start", Json())) : std::nullopt;
  const std::optional<Position> end =
      range.is_object() ? position_from_json(range.value("end", Json())) : std::nullopt;
  if (!start || !end) {
    send(error_response(id, ErrorCode::InvalidParams, "codeAction needs a document and a range"));
    return;
  }
  if (document == nullptr || !wants_quick_fixes(params)) {
    send(result_response(id, Json::array()));
    return;
  }
  // The fixes are those of the text as it is.
  if (!check_before_answering(id, *uri)) return;
  document = documents_.find(*uri);
  if (document == nullptr) {
    send(result_response(id, Json::array()));
    return;
  }
  const std::size_t begin = document->text.offset_of(*start, encoding_);
  const std::size_t stop = document->text.offset_of(*end, encoding_);
  send(result_response(
      id, quick_fixes_json(*document, std::min(begin, stop), std::max(begin, stop), encoding_)));
}

void LanguageServer::handle_notification(std::string_view method, Json& params,
                                         const Message& message) {
  if (method == "exit") {
    exit_status_ = state_ == State::ShutDown ? 0 : 1;
    return;
  }
  // Before initialize, and after shutdown, notifications are dropped.
  if (state_ != State::Running) return;
  try {
    if (method == "textDocument/didOpen") {
      did_open(params, message);
    } else if (method == "textDocument/didChange") {
      did_change(params, message);
    } else if (method == "textDocument/didClose") {
      did_close(params);
    } else if (method == "textDocument/didSave") {
      did_save(params);
    } else if (method == "workspace/didChangeWatchedFiles") {
      did_change_watched_files(params);
    } else if (method == "initialized") {
      initialized();
    }
  } catch (const std::exception& failure) {
    log(std::string(method) + " failed: " + failure.what());
  }
}

void LanguageServer::did_open(Json& params, const Message& message) {
  const std::string* uri = document_uri(params);
  const std::optional<std::int64_t> version = uri ? document_version(params) : std::nullopt;
  Json& document = params["textDocument"];
  Json* text = document.contains("text") ? &document["text"] : nullptr;
  const SharedText* kept = text ? message_text(*text, message) : nullptr;
  if (!uri || !version || !text || (!text->is_string() && !kept)) {
    log("didOpen without a document's uri, version and text");
    return;
  }
  const OpenDocument& opened = documents_.open(
      *uri, *version, kept ? *kept : shared_text(std::move(text->get_ref<std::string&>())));
  if (opened.place.role == DocumentRole::Other) log_not_checked(*uri);
  mark_for_checking(opened);
}

// Why a document opened is left alone, when it may be one the user expected checked.
void LanguageServer::log_not_checked(const std::string& uri) {
  std::string why;
  const std::optional<std::string> path = path_from_file_uri(uri, &why);
  if (!path) {
    log("not checked: " + uri + ": " + why);
  } else if (path->ends_with("/units.csv")) {
    log("not checked: " + uri +
        ": a units.csv is a unit table only in a folder named units, beside its data "
        "directory's master_part_list.csv");
  }
}

void LanguageServer::did_change(Json& params, const Message& message) {
  const std::string* uri = document_uri(params);
  OpenDocument* document = uri ? documents_.find(*uri) : nullptr;
  if (document == nullptr) {
    log("didChange of a document that is not open");
    return;
  }
  const std::optional<std::int64_t> version = document_version(params);
  if (!params.contains("contentChanges") || !params["contentChanges"].is_array() || !version) {
    log("didChange without a version and contentChanges");
    return;
  }
  document->version = *version;
  for (Json& change : params["contentChanges"]) {
    const std::string fault =
        apply_content_change(document->text, change, encoding_, document->changed, message);
    if (!fault.empty()) log("didChange skipped " + fault + ": the document may be out of step");
  }
  mark_for_checking(*document);
}

void LanguageServer::did_close(const Json& params) {
  const std::string* uri = document_uri(params);
  OpenDocument* document = uri ? documents_.find(*uri) : nullptr;
  if (document == nullptr) return;
  const OpenDocument closed{
      document->uri, document->place, 0, TextDocument(std::string()), {}, {}, {}, {}};
  documents_.close(*uri);
  to_check_.erase(closed.uri);
  if (closed.place.role == DocumentRole::UnitTable) {
    // Its findings go with it.
    send(notification("textDocument/publishDiagnostics",
                      Json{{"uri", closed.uri}, {"diagnostics", Json::array()}}));
  }
  // A part list closed: the unit tables read it from disk again.
  mark_for_checking(closed);
}

void LanguageServer::did_save(const Json& params) {
  const std::string* uri = document_uri(params);
  if (OpenDocument* document = uri ? documents_.find(*uri) : nullptr) {
    // Files may have changed with it: every line is checked again.
    document->changed.reset();
    mark_for_checking(*document);
  }
}

void LanguageServer::initialized() {
  if (!features_.registers_file_watchers || watching_files_) return;
  watching_files_ = true;
  send_request("client/registerCapability", watched_files_registration());
}

// Each changed file inside the data directory of an open unit table is told to its next check;
// the part list changed on disk (and not open, else the editor's text is the part list) checks
// the unit tables of its directory again as a whole.
void LanguageServer::did_change_watched_files(const Json& params) {
  const Json changes = params.is_object() ? params.value("changes", Json()) : Json();
  if (!changes.is_array()) {
    log("didChangeWatchedFiles without changes");
    return;
  }
  for (const Json& change : changes) {
    const Json uri = change.is_object() ? change.value("uri", Json()) : Json();
    const std::optional<std::string> path =
        uri.is_string() ? path_from_file_uri(uri.get_ref<const std::string&>()) : std::nullopt;
    if (!path) {
      log("didChangeWatchedFiles: no file at " + json_text(uri));
      continue;
    }
    const DocumentPlace place = place_of_path(*path);
    if (place.role == DocumentRole::PartList) {
      if (!documents_.part_list_of(place.data_directory)) {
        mark_for_checking(OpenDocument{"", place, 0, TextDocument(std::string()), {}, {}, {}, {}});
      }
      continue;
    }
    for (const std::string& table : documents_.unit_tables_holding(*path)) {
      OpenDocument* document = documents_.find(table);
      document->changed_paths.push_back(*path);
      to_check_.insert(table);
    }
  }
}

void LanguageServer::mark_for_checking(const OpenDocument& document) {
  if (document.place.role == DocumentRole::UnitTable && documents_.find(document.uri)) {
    to_check_.insert(document.uri);
  } else if (document.place.role == DocumentRole::PartList) {
    for (std::string& uri : documents_.unit_tables_of(document.place.data_directory)) {
      documents_.find(uri)->changed.reset();
      to_check_.insert(std::move(uri));
    }
  }
}

void LanguageServer::check_and_publish(std::string uri) {
  to_check_.erase(uri);
  OpenDocument* document = documents_.find(uri);
  if (document == nullptr) return;
  const std::string_view directory = document->place.data_directory;
  std::vector<std::string>& paths = document->changed_paths;
  std::sort(paths.begin(), paths.end());
  paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
  // Running out of memory anywhere in the check or its publication ends this check, not the
  // server: the table is then shown as one that could not be checked.
  std::string reason;
  try {
    UnitTableText input{document->text,    directory,          std::nullopt,
                        document->changed, document->findings, paths};
    if (const OpenDocument* part_list = documents_.part_list_of(directory)) {
      input.part_list = part_list->text.text();
    }
    document->findings = checks_.check_unit_table(input);
    document->changed = ChangedLines{};
    paths.clear();
    std::string text = publication_text(uri, document->version, document->text, document->findings,
                                        encoding_, features_.max_diagnostics);
    if (!document->cannot_check.empty()) log("checking " + uri + " works again");
    document->cannot_check.clear();
    send_text(text);
    return;
  } catch (const std::bad_alloc&) {
    reason = "out of memory";
  } catch (const std::exception& failure) {
    reason = failure.what();
  }
  publish_cannot_check(*document, reason);
}

// Nothing of the earlier findings is kept: the next check is a whole one, and the editor is
// told why there are none, in the document and, once until it can be checked again, in a
// message of its own.
void LanguageServer::publish_cannot_check(OpenDocument& document, const std::string& reason) {
  log("checking " + document.uri + " failed: " + reason);
  document.findings = std::vector<DocumentFinding>();
  document.changed.reset();
  document.changed_paths = std::vector<std::string>();
  const bool told = !document.cannot_check.empty();
  document.cannot_check = reason;
  try {
    send_text(failure_publication_text(document.uri, document.version, reason));
    if (!told) {
      send(notification("window/showMessage", Json{{"type", 1},
                                                   {"message", "unitlint: " + document.uri + ": " +
                                                                   cannot_check_message(reason)}}));
    }
  } catch (const std::bad_alloc&) {
    log("no memory left to publish the failure of " + document.uri);
  }
}

namespace {

// The reading thread: frames go to the queue, the frames of one read together, until the end
// of input or the server stops. Says whether the input ended inside a message.
bool read_frames(ByteSource& input, FrameQueue& queue, std::uint64_t max_body) {
  PageWarmer warmer;  // outlives the reader, which holds the body it warms
  MessageReader reader(max_body, &warmer);
  std::vector<char> buffer(kReadSize);
  for (;;) {
    const std::size_t got = input.read(buffer);
    if (got == 0) break;
    std::string_view bytes(buffer.data(), got);
    std::vector<Frame> frames;
    for (Frame frame; reader.next(bytes, frame); frame = Frame{})
      frames.push_back(std::move(frame));
    if (!frames.empty() && !queue.put(std::move(frames))) return false;
  }
  queue.close();
  return !reader.at_boundary();
}

// Runs read_frames beside the server, and stops and joins it however the server ends.
class ReadingThread {
 public:
  ReadingThread(ByteSource& input, FrameQueue& queue, std::uint64_t max_body)
      : input_(input), queue_(queue), thread_([this, max_body] { read(max_body); }) {}
  ReadingThread(const ReadingThread&) = delete;
  ReadingThread& operator=(const ReadingThread&) = delete;
  ~ReadingThread() { join(); }

  void join() {
    if (!thread_.joinable()) return;
    queue_.stop();
    input_.interrupt();
    thread_.join();
  }
  // Read after join: what went wrong with the input, if anything.
  const std::string& fault() const { return fault_; }

 private:
  void read(std::uint64_t max_body) {
    try {
      if (read_frames(input_, queue_, max_body)) fault_ = "input ended inside a message";
    } catch (const std::exception& failure) {
      fault_ = std::string("input could not be read: ") + failure.what();
      queue_.close();
    }
  }

  ByteSource& input_;
  FrameQueue& queue_;
  std::string fault_;
  std::thread thread_;  // last: it starts once the rest is made
};

}  // namespace

int run_language_server(ByteSource& input, ByteSink& output, ByteSink& log, DocumentChecks& checks,
                        const ServerLimits& limits) {
  FrameQueue queue(limits.max_queued_bytes);
  LanguageServer server(checks, output, log, queue);
  ReadingThread reading(input, queue, limits.max_body);
  server.run();
  const bool input_ended = !server.stopped();
  reading.join();
  // When the server stopped first, the reader was cut off on purpose.
  if (input_ended && !reading.fault().empty()) log.write("unitlint: " + reading.fault() + "\n");
  return server.exit_status();
}

}  // namespace unitcheck::server
