// Runs the language server over arbitrary bytes as its input: the first byte sets how many bytes
// each read hands over (1 to 256), the rest is what the client sends. Whatever comes, the server
// ends with status 0 or 1, and writes only whole messages, each a JSON object of JSON-RPC 2.0
// whose diagnostics have ranges that do not run backwards.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "server/language_server.h"

namespace {

using unitcheck::server::ByteSink;
using unitcheck::server::ByteSource;
using unitcheck::server::DocumentFinding;
using unitcheck::server::Json;

void require(bool condition) {
  if (!condition) std::abort();
}

class Input final : public ByteSource {
 public:
  Input(std::string_view bytes, std::size_t piece) : bytes_(bytes), piece_(piece) {}
  std::size_t read(std::span<char> buffer) override {
    const std::size_t size = std::min({piece_, buffer.size(), bytes_.size()});
    std::copy_n(bytes_.data(), size, buffer.data());
    bytes_.remove_prefix(size);
    return size;
  }

 private:
  std::string_view bytes_;
  std::size_t piece_;
};

class Output final : public ByteSink {
 public:
  bool write(std::string_view bytes) override {
    text.append(bytes);
    return true;
  }
  std::string text;
};

// Every "x" is a finding from it to the line's end, mended by "y": ranges of any length, on any
// line, with and without a line end after them.
class XChecks final : public unitcheck::server::DocumentChecks {
 public:
  std::vector<DocumentFinding> check_unit_table(
      const unitcheck::server::UnitTableText& input) override {
    const std::string_view text = input.document.text();
    std::vector<DocumentFinding> findings;
    std::size_t line = 0;
    std::size_t start = 0;
    for (std::size_t at = 0; at < text.size() && findings.size() < 64; ++at) {
      const char c = text[at];
      if (c == '\n' || c == '\r') {
        ++line;
        start = at + 1;
      } else if (c == 'x') {
        const std::size_t end = text.find_first_of("\r\n", at);
        findings.push_back(
            {line, at - start, (end == std::string_view::npos ? text.size() : end) - start,
             unitcheck::lint::Rule::NotBoolean, unitcheck::lint::Severity::Error, "x\xff", "y"});
      }
    }
    return findings;
  }
};

void check_range(const Json& range) {
  const Json& start = range.at("start");
  const Json& end = range.at("end");
  require(start.at("line") == end.at("line"));
  require(start.at("character").get<std::uint64_t>() <= end.at("character").get<std::uint64_t>());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  Input input(bytes, std::size_t{data[0]} + 1);
  Output output;
  Output log;
  XChecks checks;
  const int status = unitcheck::server::run_language_server(input, output, log, checks, {1 << 20});
  require(status == 0 || status == 1);
  unitcheck::server::MessageReader reader;
  std::string_view written = output.text;
  for (unitcheck::server::Frame frame; reader.next(written, frame);) {
    require(frame.kind == unitcheck::server::FrameKind::Message);
    const Json message = Json::parse(frame.body.view());
    require(message.at("jsonrpc") == "2.0");
    if (message.value("method", "") == "textDocument/publishDiagnostics") {
      for (const Json& diagnostic : message.at("params").at("diagnostics")) {
        check_range(diagnostic.at("range"));
      }
    }
    if (message.contains("result") && message["result"].is_array()) {
      for (const Json& action : message["result"])
        check_range(action.at("diagnostics")[0].at("range"));
    }
  }
  require(reader.at_boundary());
  return 0;
}
