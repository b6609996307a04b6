#pragma once

#include <cstdint>

namespace unitcheck::lint {

// What is wrong with the unit table's header line: each is reported under a rule of its own.
enum class HeaderProblem : std::uint8_t {
  WrongSeparator,   // no comma, but semicolons or tabs: the whole line
  NearMiss,         // unknown, but the same letters in another case or two edits from a column
  UnknownColumn,    // unknown and not near any column; an empty name included
  MissingColumn,    // a column of the schema that the header does not name
  DuplicateColumn,  // a name the header already holds
  Unmapped,         // fewer than half of the schema's columns named: the whole line
  NotUtf8,          // a UTF-16 or UTF-32 file: the whole line
};

inline constexpr int kHeaderProblems = static_cast<int>(HeaderProblem::NotUtf8) + 1;

}  // namespace unitcheck::lint
