#pragma once

#include "server/cell_answers.h"
#include "server/json_rpc.h"
#include "server/positions.h"

namespace unitcheck::server {

// The protocol's LocationLink[] for a cell's target: the value as the origin, the part list's
// line (its name selected) or the folder or file. Folders are named by their URI, as a file is.
Json definition_json(const TextDocument& document, std::size_t line, const CellTarget& target,
                     PositionEncoding encoding);

}  // namespace unitcheck::server
