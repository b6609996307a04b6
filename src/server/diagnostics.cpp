#include "server/diagnostics.h"

#include <algorithm>

namespace unitcheck::server {
namespace {

// DiagnosticSeverity: 1 error, 2 warning, 3 information (a note under another finding).
int severity_number(lint::Severity severity) {
  switch (severity) {
    case lint::Severity::Error:
      return 1;
    case lint::Severity::Warning:
      return 2;
    case lint::Severity::Note:
      return 3;
  }
  return 1;
}

void put_position(lint::JsonText& json, std::size_t line, std::uint64_t character) {
  json.raw("{\"line\":").number(static_cast<std::int64_t>(line));
  json.raw(",\"character\":").number(static_cast<std::int64_t>(character)).raw("}");
}

// The range of bytes [begin, end) of a line; walk goes on along the line from the last call.
void put_byte_range(lint::JsonText& json, const TextDocument& document, std::size_t line,
                    std::size_t begin, std::size_t end, PositionEncoding encoding,
                    Utf16Walk& walk) {
  if (line >= document.line_count()) {
    const Position at = document.position_of(document.size(), encoding);
    put_range(json, at.line, at.character, at.character);
    return;
  }
  end = std::max(begin, end);
  const std::uint64_t first = document.character_of(line, begin, encoding, walk);
  const std::uint64_t last = document.character_of(line, end, encoding, walk);
  put_range(json, line, first, last);
}

void put_diagnostics(lint::JsonText& json, const TextDocument& document,
                     std::span<const DocumentFinding> findings, PositionEncoding encoding) {
  json.raw("[");
  Utf16Walk walk;
  std::size_t walked_line = 0;
  for (std::size_t at = 0; at < findings.size(); ++at) {
    const DocumentFinding& finding = findings[at];
    // A walk goes on only along its own line.
    if (finding.line != walked_line) walk = Utf16Walk{};
    walked_line = finding.line;
    json.raw(at == 0 ? "{\"range\":" : ",{\"range\":");
    put_byte_range(json, document, finding.line, finding.begin, finding.end, encoding, walk);
    json.raw(",\"severity\":").number(severity_number(finding.severity));
    json.raw(",\"code\":").plain_string(lint::rule_info(finding.rule).id);
    json.raw(",\"source\":\"unitlint\",\"message\":").string(finding.message).raw("}");
  }
  json.raw("]");
}

}  // namespace

void put_range(lint::JsonText& json, std::size_t line, std::uint64_t first, std::uint64_t last) {
  json.raw("{\"start\":");
  put_position(json, line, first);
  json.raw(",\"end\":");
  put_position(json, line, last);
  json.raw("}");
}

std::string publication_text(std::string_view uri, std::int64_t version,
                             const TextDocument& document,
                             std::span<const DocumentFinding> findings, PositionEncoding encoding) {
  std::string out;
  {
    lint::JsonText json(out, uri.size() + 128 + findings.size() * 256);
    json.raw(R"({"jsonrpc":"2.0","method":"textDocument/publishDiagnostics","params":{"uri":)");
    json.string(uri).raw(",\"version\":").number(version).raw(",\"diagnostics\":");
    put_diagnostics(json, document, findings, encoding);
    json.raw("}}");
  }
  return out;
}

Json diagnostics_json(const TextDocument& document, std::span<const DocumentFinding> findings,
                      PositionEncoding encoding) {
  std::string out;
  {
    lint::JsonText json(out);
    put_diagnostics(json, document, findings, encoding);
  }
  return Json::parse(out);
}

Json range_json(const TextDocument& document, std::size_t line, std::size_t begin, std::size_t end,
                PositionEncoding encoding, Utf16Walk& walk) {
  std::string out;
  {
    lint::JsonText json(out);
    put_byte_range(json, document, line, begin, end, encoding, walk);
  }
  return Json::parse(out);
}

}  // namespace unitcheck::server
