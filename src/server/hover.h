#pragma once

#include <cstddef>
#include <span>

#include "server/cell_answers.h"
#include "server/document_checks.h"
#include "server/json_rpc.h"
#include "server/positions.h"

namespace unitcheck::server {

// The protocol's Hover for a place of a unit table: the column (or nested field) that facts
// describe, the unit of its line, and the messages of the findings whose range holds the
// place (byte of line); its range is the value's. Markdown or plain text, as the client takes.
Json hover_json(const TextDocument& document, std::size_t line, std::size_t byte,
                const CellFacts& facts, std::span<const DocumentFinding> findings,
                PositionEncoding encoding, bool markdown);

}  // namespace unitcheck::server
