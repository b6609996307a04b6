#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace unitcheck {

// What a check found wrong. One enumerator per diagnostic form; the renderers word them.
enum class FindingKind : std::uint8_t {
  // A cell of the unit table.
  TextTooLong,        // length > limit (the column's declared size)
  DirectoryMissing,   // units/<value> is not a directory
  CockpitMissing,     // cockpits/<value> is not a directory
  MeshMissing,        // neither <unit directory>/<value> nor meshes/<value> exists
  NotBoolean,         // not TRUE, true, FALSE, false, 1 or 0
  NotFloat,           // a byte outside the float characters
  FloatConversion,    // float characters that do not convert; error_position
  NotInteger,         // a byte outside the integer characters
  IntegerConversion,  // integer characters that do not convert; error_position
  // A unit line; value is the whole line.
  TooManyCells,  // more cells than limit (the schema's fields); cells counted so far
  TooFewCells,   // cells < limit
  // A value of a nested list (table, field).
  UnclosedGroup,            // a '{' while a group is open; position of that '{'
  TooManyValues,            // a value past the group's last field
  NestedTextTooLong,        // length >= limit (the field's data size)
  CategoryNotFound,         // cargo_import.Cat not in the category list
  CargoPartNotFound,        // cargo: neither part nor category (value) in the part list
  NestedNotBoolean,         // not empty, 1 or 0
  NestedNotInteger,         // a byte outside the integer characters
  NestedIntegerConversion,  // error_position; position of the byte that ended the value
  NestedNotFloat,           // a byte outside the float characters
  NestedFloatConversion,    // error_position; position of the byte that ended the value
  // Found but not part of the transcript, which has no line for it.
  UnclosedLastGroup,  // the cell ends inside a group; value from its '{' to the end
  EmptyKey,           // a unit line whose first cell is empty, passed over unchecked
  // A Directory, Cockpit or mesh cell that is absolute or leads out of the data directory;
  // limit: how (a PathEscape). Only checks given PathJudging find it.
  PathOutsideData,
};

inline constexpr int kFindingKinds = static_cast<int>(FindingKind::PathOutsideData) + 1;

// Whether the transcript has a line for the finding.
constexpr bool in_transcript(FindingKind kind) {
  return kind != FindingKind::UnclosedLastGroup && kind != FindingKind::EmptyKey &&
         kind != FindingKind::PathOutsideData;
}

// Whether the finding lies inside a nested list.
constexpr bool is_nested(FindingKind kind) {
  return kind >= FindingKind::UnclosedGroup && kind <= FindingKind::UnclosedLastGroup;
}

// Whether the finding is about a whole unit line rather than one of its cells.
constexpr bool is_line_finding(FindingKind kind) {
  return kind == FindingKind::TooManyCells || kind == FindingKind::TooFewCells ||
         kind == FindingKind::EmptyKey;
}

// The file a finding lies in.
enum class DataFile : std::uint8_t { UnitTable, PartList };

// One fault, with everything a renderer needs, decided by the check that found it. Texts are
// views into the line being checked and into the schema; they are valid while the finding is
// being reported, so a sink that keeps a finding copies what it keeps.
struct Finding {
  FindingKind kind{};
  DataFile file = DataFile::UnitTable;
  std::int64_t line = 0;  // the file line, counted from 1 (the transcript's "row")
  // The cell, counted from 0, and the byte offset of its first byte in the line (after the
  // quote of a quoted cell). For a line finding: the cells counted, and the line's length.
  std::int64_t cell = 0;
  std::int64_t cell_offset = 0;
  // Inside a nested list: the byte offset in the line of the value's first byte (for an
  // unclosed group, of the '{' that found it open).
  std::int64_t value_offset = 0;
  std::string_view column{};        // the unit-table column, as the header names it
  std::string_view table{};         // the nested list's table, such as "cargo"
  std::string_view field{};         // the nested list's field, such as "Category"
  std::string_view value{};         // the offending text
  std::string_view part{};          // cargo: the part name of the item whose category is unknown
  std::string_view folder{};        // a missing mesh: the unit's directory, as it was searched
  std::int64_t length = 0;          // the value's length in bytes
  std::int64_t limit = 0;           // declared size, data size, or the schema's field count
  std::int64_t error_position = 0;  // where a conversion stopped, counted from 1
  std::int64_t position = 0;        // nested: 1-based position in the cell of the ending byte
  std::string_view line_text{};     // the whole line the finding lies in
};

// Where checks put their findings. A sink is used by one thread at a time.
class FindingSink {
 public:
  virtual void report(const Finding& finding) = 0;

 protected:
  ~FindingSink() = default;
};

// What a writer keeps on a checking thread from finding to finding, of its own making: the
// checks only hold it for the writer.
class RenderState {
 public:
  virtual ~RenderState() = default;
};

// Turns findings into output text for the checking threads. render is called on several threads
// at once, each with a text of its own and a state of its own, made by make_render_state, which
// the thread keeps from finding to finding (room the writer reuses for the words it builds on
// the way, say); write receives the rendered texts in reading order, one call at a time.
class FindingWriter {
 public:
  virtual std::unique_ptr<RenderState> make_render_state() const {
    return std::make_unique<RenderState>();
  }
  virtual void render(const Finding& finding, std::string& text, RenderState& state) const = 0;
  virtual void write(std::string_view text) = 0;

  // A writer that words a line's findings together (a cause before what it explains) asks for
  // up to this many of them at once: the checks then hold a line's findings, copied, until the
  // line ends or this many are held, and pass them to render_line_findings. 0: one at a time, to
  // render.
  virtual std::size_t line_group_limit() const { return 0; }
  // Findings of one line, in the order found; their texts are valid during the call.
  virtual void render_line_findings(std::span<const Finding> findings, std::string& text,
                                    RenderState& state) const {
    for (const Finding& finding : findings) render(finding, text, state);
  }

 protected:
  ~FindingWriter() = default;
};

}  // namespace unitcheck
