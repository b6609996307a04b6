#pragma once

#include <cstddef>

#include "server/cell_answers.h"
#include "server/json_rpc.h"
#include "server/positions.h"

namespace unitcheck::server {

// The protocol's CompletionList of the choices for a place of line: each item's textEdit
// replaces the value under the cursor.
Json completion_json(const TextDocument& document, std::size_t line,
                     const CompletionChoices& choices, PositionEncoding encoding);

}  // namespace unitcheck::server
