#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/beneath.h"
#include "validate/part_list.h"

namespace unitcheck::server {

// The part list of a data directory (root ends with a slash) as an open unit table's checks
// and answers read it: the editor's text when it holds the list open, else the file, opened
// from directory (root opened) and only when it lies inside it, links followed (a mod is
// someone else's). Raises a Failure when the file leads outside or cannot be read.
std::unique_ptr<PartList> read_part_list(std::optional<std::string_view> editor_text,
                                         const std::string& root,
                                         const BeneathDirectory& directory);

}  // namespace unitcheck::server
