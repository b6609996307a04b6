#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "server/client_features.h"
#include "server/document_checks.h"
#include "server/positions.h"
#include "server/text_document.h"

namespace unitcheck::server {

// The most lines of one inlay-hint request answered, and the most hints: an editor asks for
// the lines it shows, and a 116-column line is 116 hints.
inline constexpr std::size_t kInlayHintLines = 1000;
inline constexpr std::size_t kInlayHints = 20000;
// The most bytes of a column's name in a hint.
inline constexpr std::size_t kInlayHintNameBytes = 48;

// The protocol's InlayHint[] for the unit lines among [first_line, end_line) of a unit table,
// as JSON text: before each cell, the header's name for its column ("Name:"); with
// InlayHintCells::Faulty only before the cells that a finding's range touches; none for None.
// A line whose key is empty (it begins with a comma) and the two lines of the header get none;
// a cell past the header's names gets none. Names are shown as the header spells them, their
// control characters escaped and cut to kInlayHintNameBytes.
std::string inlay_hints_text(const TextDocument& document, std::size_t first_line,
                             std::size_t end_line, std::span<const DocumentFinding> findings,
                             InlayHintCells cells, PositionEncoding encoding);

}  // namespace unitcheck::server
