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

Json position_json(std::uint64_t line, std::uint64_t character) {
  return Json{{"line", line}, {"character", character}};
}

}  // namespace

Json range_json(const TextDocument& document, std::size_t line, std::size_t begin, std::size_t end,
                PositionEncoding encoding, Utf16Walk& walk) {
  if (line >= document.line_count()) {
    const Position at = document.position_of(document.size(), encoding);
    return Json{{"start", position_json(at.line, at.character)},
                {"end", position_json(at.line, at.character)}};
  }
  end = std::max(begin, end);
  const std::uint64_t first = document.character_of(line, begin, encoding, walk);
  const std::uint64_t last = document.character_of(line, end, encoding, walk);
  return Json{{"start", position_json(line, first)}, {"end", position_json(line, last)}};
}

Json diagnostics_json(const TextDocument& document, std::span<const DocumentFinding> findings,
                      PositionEncoding encoding) {
  Json diagnostics = Json::array();
  Utf16Walk walk;
  std::size_t walked_line = 0;
  for (const DocumentFinding& finding : findings) {
    // A walk goes on only along its own line.
    if (finding.line != walked_line) walk = Utf16Walk{};
    walked_line = finding.line;
    const lint::RuleInfo& rule = lint::rule_info(finding.rule);
    diagnostics.push_back(Json{
        {"range", range_json(document, finding.line, finding.begin, finding.end, encoding, walk)},
        {"severity", severity_number(finding.severity)},
        {"code", rule.id},
        {"source", "unitlint"},
        {"message", finding.message}});
  }
  return diagnostics;
}

}  // namespace unitcheck::server
