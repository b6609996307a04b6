#pragma once

#include <string>

namespace unitcheck::lint {

// The unit table's columns (position, name, type, declared size, nested list) and every nested
// list's fields, from the schema tables the checks use.
std::string schema_text();
std::string schema_json();
// docs/SCHEMA.md.
std::string schema_markdown();

}  // namespace unitcheck::lint
