#pragma once

#include <optional>
#include <string>

#include "server/changed_lines.h"
#include "server/json_rpc.h"
#include "server/message_json.h"
#include "server/positions.h"
#include "server/text_document.h"

namespace unitcheck::server {

// A position of the protocol ({"line": n, "character": n}); nullopt when it is not one.
std::optional<Position> position_from_json(const Json& value);

// Applies one entry of didChange's contentChanges: a range and its new text (positions in the
// agreed encoding; a reversed range is taken in order), or a whole new text; adds the lines it
// changed to changed (nullopt after a whole new text). The text is a string or a text of the
// message the change came in (a whole new text is then kept where it is). Returns what was wrong
// with the entry, or an empty string when it was applied.
std::string apply_content_change(TextDocument& document, Json& change, PositionEncoding encoding,
                                 std::optional<ChangedLines>& changed, const Message& message = {});

}  // namespace unitcheck::server
