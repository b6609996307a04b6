#pragma once

#include <cstddef>

#include "server/document_store.h"
#include "server/json_rpc.h"
#include "server/positions.h"

namespace unitcheck::server {

// The quick fixes (CodeAction, kind "quickfix", preferred) of the document's findings that have
// a replacement and touch the bytes [begin, end): each replaces the finding's range.
Json quick_fixes_json(const OpenDocument& document, std::size_t begin, std::size_t end,
                      PositionEncoding encoding);

// False when a codeAction request's context.only names kinds and none is "quickfix" or a kind
// that holds it ("" or "quickfix.x" do not).
bool wants_quick_fixes(const Json& params);

}  // namespace unitcheck::server
