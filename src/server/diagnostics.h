#pragma once

#include <span>

#include "server/document_checks.h"
#include "server/json_rpc.h"
#include "server/positions.h"
#include "server/text_document.h"

namespace unitcheck::server {

// The protocol's Diagnostic of each finding: its range in the agreed encoding (a line past the
// document's last stands for its end), severity, the rule's id as code, "unitlint" as source.
Json diagnostics_json(const TextDocument& document, std::span<const DocumentFinding> findings,
                      PositionEncoding encoding);

// The protocol's Range of bytes [begin, end) of a line.
Json range_json(const TextDocument& document, std::size_t line, std::size_t begin, std::size_t end,
                PositionEncoding encoding, Utf16Walk& walk);

}  // namespace unitcheck::server
