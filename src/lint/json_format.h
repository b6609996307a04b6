#pragma once

#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "lint/format.h"

namespace unitcheck::lint {

// One JSON document: {"tool":{...},"findings":[ one object a line ],"summary":{...}}. Texts that
// are not UTF-8 have each bad byte replaced by U+FFFD; a value so changed also comes whole as
// "value_bytes", its bytes in hexadecimal.
std::unique_ptr<Format> make_json_format();

// JSON text of a value, invalid UTF-8 replaced; shared with the SARIF format.
std::string dump_json(const nlohmann::ordered_json& value);

// A string, or null when empty.
nlohmann::ordered_json text_or_null(std::string_view text);

}  // namespace unitcheck::lint
