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
// values for them cost two thirds of the edit's time.
std::string publication_text(std::string_view uri, std::int64_t version,
                             const TextDocument& document,
                             std::span<const DocumentFinding> findings, PositionEncoding encoding);

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
