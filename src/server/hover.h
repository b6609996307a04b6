#pragma once

#include <cstddef>
#include <span>

#include "server/cell_answers.h"
#include "server/document_checks.h"
#include "server/json_rpc.h"
#include "server/positions.h"

namespace unitcheck::server {

// The protocol's Hover for a place of a unit table: the column (or nested field) that facts
// describe and the unit of its line; its range is the value's. Markdown or plain text, as the
// client takes. The findings of the place are not repeated: the client shows their
// diagnostics beside the hover already.
Json hover_json(const TextDocument& document, std::size_t line, const CellFacts& facts,
                PositionEncoding encoding, bool markdown);

}  // namespace unitcheck::server
