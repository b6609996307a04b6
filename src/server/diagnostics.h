#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "lint/json_text.h"
#include "server/document_checks.h"
#include "server/json_rpc.h"
#include "server/positions.h"
#include "server/text_document.h"

namespace unitcheck::server {

// The whole textDocument/publishDiagnostics notification of a document's findings, as JSON text:
// a table of 20,000 rows republishes some 1,400 findings with each edit, and a tree of JSON
// values for them cost two thirds of the edit's time. At most `limit` findings are published,
// errors first, then warnings, then notes, each severity by line, in the text's order; when any
// are left out, one more diagnostic (information, `more-findings`, on the first line) counts
// them and names the report that lists them all. An editor slows down with every diagnostic
// it holds: 30,000 of them took seconds per edit in the clients tried.
std::string publication_text(std::string_view uri, std::int64_t version,
                             const TextDocument& document,
                             std::span<const DocumentFinding> findings, PositionEncoding encoding,
                             std::size_t limit);

// The publication of a table that could not be checked: one error (`cannot-check`) on the
// first line saying why, in place of its findings, so that the editor does not show it clean.
std::string failure_publication_text(std::string_view uri, std::int64_t version,
                                     std::string_view reason);
// The words of that diagnostic, also shown once with window/showMessage.
std::string cannot_check_message(std::string_view reason);

// The protocol's Diagnostic of each finding: its range in the agreed encoding (a line past the
// document's last stands for its end), severity, the rule's id as code, "unitlint" as source.
Json diagnostics_json(const TextDocument& document, std::span<const DocumentFinding> findings,
                      PositionEncoding encoding);

// The protocol's Range of characters [first, last) of a line, as JSON text.
void put_range(lint::JsonText& json, std::size_t line, std::uint64_t first, std::uint64_t last);

// The protocol's Range of bytes [begin, end) of a line.
Json range_json(const TextDocument& document, std::size_t line, std::size_t begin, std::size_t end,
                PositionEncoding encoding, Utf16Walk& walk);

}  // namespace unitcheck::server
