#pragma once

#include <optional>
#include <vector>

#include "server/cell_answers.h"

namespace unitcheck::server {

// The core's answers about places of an open unit table, from its header mapped onto the
// schema and the line's cells cut as the checks cut them (server/cell_place).

// The column (and nested field) at the place, and the unit of its line; nothing on the ignored
// second line or past a line's cells.
std::optional<CellFacts> describe_unit_cell(const CellQuery& query);

// The values the place may take when they are a closed set: booleans, categories and parts of
// the part list, folders of units/ and cockpits/, mesh files of the unit's directory and of
// meshes/. Only those that begin with what the value holds before the place, at most
// kCompletionLimit; folders only inside the data directory.
CompletionChoices complete_unit_cell(const CellQuery& query);

// Where the value at the place leads: a cargo part (cargo.filename) to the part list's line
// that names it, a category (cargo_import.Cat, cargo.Category) to the first line of it; a
// Directory to its folder of units/, a Cockpit to its folder of cockpits/, a mesh to its file
// in the unit's directory or meshes/. Nothing for a value that names nothing there, a name
// with a slash or a dot segment, or a folder that leads outside the data directory.
std::optional<CellTarget> find_cell_target(const CellQuery& query);

// Each unit line's key and name, in the order of the text.
std::vector<UnitSymbol> find_unit_symbols(const TextDocument& document);

}  // namespace unitcheck::server
