#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>

#include "server/channel.h"
#include "server/client_features.h"
#include "server/document_checks.h"
#include "server/document_store.h"
#include "server/json_rpc.h"
#include "server/message_reader.h"
#include "server/positions.h"

namespace unitcheck::server {

// The protocol's side of the language server: the life cycle (initialize, shutdown, exit), the
// open documents and their edits, and the diagnostics of the unit tables, which the checks
// compute. Messages are handled in the order read, on one thread; a request is answered before
// the next message is handled.
class LanguageServer {
 public:
  LanguageServer(DocumentChecks& checks, ByteSink& output, ByteSink& log)
      : checks_(checks), output_(output), log_(log) {}

  // Handles the frames read together. A $/cancelRequest among them cancels a request among them
  // that it names: that request is answered RequestCancelled. The unit tables whose text (or
  // part list) changed are checked once, after the last frame, and their diagnostics published.
  void handle(std::span<Frame> frames);

  // True once exit was received, or the output could not be written.
  bool stopped() const { return exit_status_.has_value() || output_lost_; }
  // 0 after shutdown then exit (or shutdown then the end of input); 1 otherwise.
  int exit_status() const;

 private:
  enum class State : std::uint8_t { NotInitialized, Running, ShutDown };

  void handle_message(Json& message);
  void handle_request(const Json& id, std::string_view method, Json& params);
  void handle_notification(std::string_view method, Json& params);
  Json initialize(const Json& params);
  void code_action(const Json& id, const Json& params);
  // hover, completion and documentSymbol of a unit table (server/place_requests.cpp).
  void place_request(const Json& id, std::string_view method, const Json& params);
  void send_result_text(const Json& id, std::string_view result);
  void did_open(Json& params);
  void did_change(Json& params);
  void did_close(const Json& params);
  void did_save(const Json& params);
  void frame_fault(const Frame& frame);

  // The unit tables that a change of this document makes worth checking again.
  void mark_for_checking(const OpenDocument& document);
  void publish_diagnostics();
  void send(const Json& message);
  void log(std::string_view text);

  DocumentChecks& checks_;
  ByteSink& output_;
  ByteSink& log_;
  State state_ = State::NotInitialized;
  PositionEncoding encoding_ = PositionEncoding::Utf16;
  ClientFeatures features_;
  DocumentStore documents_;
  std::set<std::string> to_check_;   // URIs of unit tables
  std::set<std::string> cancelled_;  // the JSON text of request ids
  std::optional<int> exit_status_;
  bool output_lost_ = false;
};

// Reads messages from input and answers them on output until exit, the end of input, or output
// that cannot be written; returns the exit status. The log gets what the client is not told.
int run_language_server(ByteSource& input, ByteSink& output, ByteSink& log, DocumentChecks& checks,
                        std::uint64_t max_body = kMaxBodyBytes);

}  // namespace unitcheck::server
