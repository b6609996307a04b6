#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "server/channel.h"
#include "server/client_features.h"
#include "server/document_checks.h"
#include "server/document_store.h"
#include "server/frame_queue.h"
#include "server/json_rpc.h"
#include "server/message_json.h"
#include "server/message_reader.h"
#include "server/positions.h"

namespace unitcheck::server {

// The protocol's side of the language server: the life cycle (initialize, shutdown, exit), the
// open documents and their edits, and the diagnostics of the unit tables, which the checks
// compute. Messages are handled in the order read, on one thread, while another reads them
// into a FrameQueue; a request is answered before the next message is handled.
//
// Everything queued when the server takes from the queue is a batch: a $/cancelRequest in it
// cancels the requests of the batch ahead of it (answered RequestCancelled). The unit tables
// whose text, part list or files changed are checked after the batch, one at a time, and
// before each check whatever arrived meanwhile is handled first: edits made during a long
// check are applied before the next one, so that a version already replaced is not checked.
// One check is pending per document at most, however many edits come.
class LanguageServer {
 public:
  LanguageServer(DocumentChecks& checks, ByteSink& output, ByteSink& log, FrameQueue& input)
      : checks_(checks), output_(output), log_(log), input_(input) {}

  // Handles what the queue brings until exit, output that cannot be written, or the end of
  // input (after the checks still owed). Checks pending when exit arrives are dropped: the
  // client is gone. After shutdown they are still made, and published.
  void run();

  // True once exit was received, or the output could not be written.
  bool stopped() const { return exit_status_.has_value() || output_lost_; }
  // 0 after shutdown then exit (or shutdown then the end of input); 1 otherwise.
  int exit_status() const;

 private:
  enum class State : std::uint8_t { NotInitialized, Running, ShutDown };

  void take_frames(bool wait);
  void handle_batch();
  void handle_frame(Frame& frame);
  void handle_message(Message& read);
  void handle_response(const Json& message);
  void handle_request(const Json& id, std::string_view method, Json& params);
  void handle_notification(std::string_view method, Json& params, const Message& message);
  Json initialize(const Json& params);
  void initialized();
  // Edits read before a request about a unit table are checked first, so that the answer is
  // about the text as it is. What arrives meanwhile joins the batch and may cancel the request:
  // then it is answered so, and false returned.
  bool check_before_answering(const Json& id, const std::string& uri);
  void code_action(const Json& id, const Json& params);
  // hover, completion and documentSymbol of a unit table (server/place_requests.cpp).
  void place_request(const Json& id, std::string_view method, const Json& params);
  void send_result_text(const Json& id, std::string_view result);
  // The place a request names, as the checks take it.
  CellQuery cell_query(const OpenDocument& document, Position position) const;
  void definition(const Json& id, const Json& params);   // server/definition.cpp
  void inlay_hints(const Json& id, const Json& params);  // server/inlay_hints.cpp
  void did_open(Json& params, const Message& message);
  void log_not_checked(const std::string& uri);
  void did_change(Json& params, const Message& message);
  void did_close(const Json& params);
  void did_save(const Json& params);
  void did_change_watched_files(const Json& params);
  void frame_fault(const Frame& frame);

  // The unit tables that a change of this document makes worth checking again.
  void mark_for_checking(const OpenDocument& document);
  // Checks the unit table at uri and publishes its diagnostics.
  void check_and_publish(std::string uri);  // a copy: it leaves to_check_
  // Publishes why a unit table could not be checked.
  void publish_cannot_check(OpenDocument& document, const std::string& reason);
  void send_request(std::string_view method, Json params);
  void send(const Json& message);
  void send_text(std::string_view message);  // a message written as JSON text already
  void log(std::string_view text);

  DocumentChecks& checks_;
  ByteSink& output_;
  ByteSink& log_;
  FrameQueue& input_;
  State state_ = State::NotInitialized;
  PositionEncoding encoding_ = PositionEncoding::Utf16;
  ClientFeatures features_;
  bool watching_files_ = false;  // file watchers were asked for
  DocumentStore documents_;
  std::deque<Frame> batch_;          // taken and not yet handled
  std::set<std::string> to_check_;   // URIs of unit tables
  std::set<std::string> cancelled_;  // the JSON text of request ids in the batch
  std::int64_t next_request_id_ = 1;
  std::map<std::int64_t, std::string> requests_sent_;  // by id: the method, until answered
  std::optional<int> exit_status_;
  bool output_lost_ = false;
};

// The bounds of what the server holds of its input.
struct ServerLimits {
  std::uint64_t max_body = kMaxBodyBytes;          // a longer message is refused
  std::size_t max_queued_bytes = kMaxQueuedBytes;  // read and not yet handled, see FrameQueue
};

// Reads messages from input on a thread of its own and answers them on output until exit, the
// end of input, or output that cannot be written; returns the exit status. The log gets what
// the client is not told. The reading thread is woken (ByteSource::interrupt) and joined before
// this returns.
int run_language_server(ByteSource& input, ByteSink& output, ByteSink& log, DocumentChecks& checks,
                        const ServerLimits& limits = {});

}  // namespace unitcheck::server
