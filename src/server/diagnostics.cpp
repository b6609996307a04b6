#include "server/diagnostics.h"

#include <algorithm>
#include <string>

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

// 0 for errors, 1 for warnings, 2 for notes: the order in which a bounded publication keeps
// them.
int severity_rank(lint::Severity severity) {
  return severity_number(severity) - 1;
}

// Which findings a publication of at most `limit` shows: all those of the ranks below `rank`,
// and the first `taken` of rank `rank` in the text's order. One pass to count, none to sort:
// the findings stay in the order of the text, which the walk along a line needs.
struct ShownFindings {
  int rank = 3;
  std::size_t taken = 0;
  std::size_t left_out = 0;
};

ShownFindings shown_findings(std::span<const DocumentFinding> findings, std::size_t limit) {
  ShownFindings shown;
  if (findings.size() <= limit) return shown;
  std::size_t counts[3] = {0, 0, 0};
  for (const DocumentFinding& finding : findings) ++counts[severity_rank(finding.severity)];
  std::size_t room = limit;
  shown.rank = 0;
  while (shown.rank < 3 && counts[shown.rank] <= room) room -= counts[shown.rank++];
  shown.taken = room;
  shown.left_out = findings.size() - limit;
  return shown;
}

void put_diagnostic(lint::JsonText& json, bool first, const TextDocument& document,
                    const DocumentFinding& finding, PositionEncoding encoding, Utf16Walk& walk) {
  json.raw(first ? "{\"range\":" : ",{\"range\":");
  put_byte_range(json, document, finding.line, finding.begin, finding.end, encoding, walk);
  json.raw(",\"severity\":").number(severity_number(finding.severity));
  json.raw(",\"code\":").plain_string(lint::rule_info(finding.rule).id);
  json.raw(",\"source\":\"unitlint\",\"message\":").string(finding.message).raw("}");
}

void put_diagnostics(lint::JsonText& json, const TextDocument& document,
                     std::span<const DocumentFinding> findings, PositionEncoding encoding,
                     std::size_t limit) {
  json.raw("[");
  const ShownFindings shown = shown_findings(findings, limit);
  Utf16Walk walk;
  std::size_t walked_line = 0;
  std::size_t taken = 0;
  bool first = true;
  for (const DocumentFinding& finding : findings) {
    const int rank = severity_rank(finding.severity);
    if (rank > shown.rank || (rank == shown.rank && taken++ >= shown.taken)) continue;
    // A walk goes on only along its own line.
    if (finding.line != walked_line) walk = Utf16Walk{};
    walked_line = finding.line;
    put_diagnostic(json, first, document, finding, encoding, walk);
    first = false;
  }
  if (shown.left_out != 0) {
    json.raw(first ? "{\"range\":" : ",{\"range\":");
    put_range(json, 0, 0, 0);
    json.raw(",\"severity\":3,\"code\":\"more-findings\",\"source\":\"unitlint\",\"message\":");
    json.string(std::to_string(shown.left_out) + " more findings are not shown here (at most " +
                std::to_string(limit) +
                " per document, errors first); unitlint --format html lists them all")
        .raw("}");
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
                             std::span<const DocumentFinding> findings, PositionEncoding encoding,
                             std::size_t limit) {
  std::string out;
  {
    lint::JsonText json(out, uri.size() + 128 + std::min(findings.size(), limit) * 256);
    json.raw(R"({"jsonrpc":"2.0","method":"textDocument/publishDiagnostics","params":{"uri":)");
    json.string(uri).raw(",\"version\":").number(version).raw(",\"diagnostics\":");
    put_diagnostics(json, document, findings, encoding, limit);
    json.raw("}}");
  }
  return out;
}

std::string failure_publication_text(std::string_view uri, std::int64_t version,
                                     std::string_view reason) {
  std::string out;
  {
    lint::JsonText json(out);
    json.raw(R"({"jsonrpc":"2.0","method":"textDocument/publishDiagnostics","params":{"uri":)");
    json.string(uri).raw(",\"version\":").number(version).raw(",\"diagnostics\":[{\"range\":");
    put_range(json, 0, 0, 0);
    json.raw(",\"severity\":1,\"code\":\"cannot-check\",\"source\":\"unitlint\",\"message\":");
    json.string(cannot_check_message(reason)).raw("}]}}");
  }
  return out;
}

std::string cannot_check_message(std::string_view reason) {
  return "this table could not be checked: " + std::string(reason) +
         "; its findings are not shown until it can be";
}

Json diagnostics_json(const TextDocument& document, std::span<const DocumentFinding> findings,
                      PositionEncoding encoding) {
  std::string out;
  {
    lint::JsonText json(out);
    put_diagnostics(json, document, findings, encoding, findings.size());
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
