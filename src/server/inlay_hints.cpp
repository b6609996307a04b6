#include "server/inlay_hints.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "csv/split_unit_row.h"
#include "lint/json_text.h"
#include "lint/lint_messages.h"
#include "lint/utf8.h"
#include "server/content_change.h"
#include "server/language_server.h"
#include "server/place_requests.h"

namespace unitcheck::server {
namespace {

// The header's names as hints label them; at most the columns a unit line is cut into.
std::vector<std::string> column_labels(std::string_view header, std::size_t most) {
  std::vector<std::string> labels;
  if (header.empty() || header.front() == ',') return labels;
  split_unit_row(header, static_cast<int>(most), [&](int, std::string_view name) {
    std::string label =
        lint::without_controls(name.substr(0, lint::utf8_prefix_length(name, kInlayHintNameBytes)));
    label.push_back(':');
    labels.push_back(std::move(label));
  });
  return labels;
}

// Whether a finding of the line touches the cell [begin, end] (an empty cell: its place).
bool touched(std::span<const DocumentFinding> findings, std::size_t begin, std::size_t end) {
  return std::any_of(findings.begin(), findings.end(), [&](const DocumentFinding& finding) {
    return finding.begin <= end && std::max(finding.end, finding.begin + 1) > begin;
  });
}

void put_hints(lint::JsonText& json, const TextDocument& document, std::size_t first_line,
               std::size_t end_line, std::span<const DocumentFinding> findings,
               InlayHintCells cells, PositionEncoding encoding) {
  if (cells == InlayHintCells::None || document.line_count() == 0) return;
  // The unit table's checks cut a line into at most 116 cells; a header of more names no more.
  const std::vector<std::string> labels = column_labels(document.line(0), 1024);
  first_line = std::max<std::size_t>(first_line, 2);
  if (first_line >= document.line_count()) return;
  end_line = std::min({end_line, document.line_count(), first_line + kInlayHintLines});
  // Findings are in line order: each line's are a run of them.
  auto run = std::lower_bound(findings.begin(), findings.end(), first_line,
                              [](const DocumentFinding& f, std::size_t l) { return f.line < l; });
  std::size_t hints = 0;
  for (std::size_t line = first_line; line < end_line && hints < kInlayHints; ++line) {
    const auto run_end =
        std::find_if(run, findings.end(), [&](const DocumentFinding& f) { return f.line != line; });
    const std::span<const DocumentFinding> faults(run, run_end);
    run = run_end;
    const std::string_view text = document.line(line);
    if (text.empty() || text.front() == ',' || labels.empty()) continue;
    if (cells == InlayHintCells::Faulty && faults.empty()) continue;
    Utf16Walk walk;
    split_unit_row(text, static_cast<int>(labels.size()), [&](int column, std::string_view cell) {
      if (hints >= kInlayHints) return;
      std::size_t begin = static_cast<std::size_t>(cell.data() - text.data());
      const std::size_t end = begin + cell.size();
      if (cells == InlayHintCells::Faulty && !touched(faults, begin, end)) return;
      if (begin > 0 && text[begin - 1] == '"') --begin;  // before a quoted cell's quote
      json.raw(hints == 0 ? "{\"position\":{\"line\":" : ",{\"position\":{\"line\":");
      json.number(static_cast<std::int64_t>(line)).raw(",\"character\":");
      json.number(static_cast<std::int64_t>(document.character_of(line, begin, encoding, walk)));
      json.raw("},\"label\":").string(labels[static_cast<std::size_t>(column)]);
      json.raw(",\"kind\":2,\"paddingRight\":true}");
      ++hints;
    });
  }
}

}  // namespace

std::string inlay_hints_text(const TextDocument& document, std::size_t first_line,
                             std::size_t end_line, std::span<const DocumentFinding> findings,
                             InlayHintCells cells, PositionEncoding encoding) {
  std::string out;
  {
    lint::JsonText json(out);
    json.raw("[");
    put_hints(json, document, first_line, end_line, findings, cells, encoding);
    json.raw("]");
  }
  return out;
}

// textDocument/inlayHint: the column names of the lines in the range the client shows.
void LanguageServer::inlay_hints(const Json& id, const Json& params) {
  const std::string* uri = document_uri(params);
  const Json range = params.is_object() ? params.value("range", Json()) : Json();
  const std::optional<Position> start =
      range.is_object() ? position_from_json(range.value("start", Json())) : std::nullopt;
  const std::optional<Position> end =
      range.is_object() ? position_from_json(range.value("end", Json())) : std::nullopt;
  if (uri == nullptr || !start || !end) {
    send(error_response(id, ErrorCode::InvalidParams, "inlayHint needs a document and a range"));
    return;
  }
  // A faulty cell is one of the text as it is.
  if (features_.inlay_hints == InlayHintCells::Faulty && !check_before_answering(id, *uri)) return;
  const OpenDocument* document = documents_.find(*uri);
  if (document == nullptr || document->place.role != DocumentRole::UnitTable) {
    send(result_response(id, Json::array()));
    return;
  }
  send_result_text(id, inlay_hints_text(document->text, static_cast<std::size_t>(start->line),
                                        static_cast<std::size_t>(std::min<std::uint64_t>(
                                            end->line, document->text.line_count())) +
                                            1,
                                        document->findings, features_.inlay_hints, encoding_));
}

}  // namespace unitcheck::server
