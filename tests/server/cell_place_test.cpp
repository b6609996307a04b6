#include "server/cell_place.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "lint/rules.h"
#include "server/core_cell_info.h"
#include "server/core_document_checks.h"
#include "support/temp_dir.h"

namespace unitcheck::server {
namespace {

struct CellCase {
  std::string_view line;
  int limit;
  std::size_t byte;
  int column;
  std::size_t begin;
  std::size_t end;
};

// Quotes, text dropped around them, a last empty cell after a comma, too many cells: a place
// stands in the cell the checks cut there, up to and with the comma that ends it.
TEST(CellPlace, NamesTheCellTheChecksCut) {
  const CellCase cases[] = {
      {"ab,\"c,d\"xx,e,", 5, 0, 0, 0, 2},
      {"ab,\"c,d\"xx,e,", 5, 2, 0, 0, 2},
      {"ab,\"c,d\"xx,e,", 5, 3, 1, 4, 7},
      {"ab,\"c,d\"xx,e,", 5, 5, 1, 4, 7},
      {"ab,\"c,d\"xx,e,", 5, 9, 1, 4, 7},
      {"ab,\"c,d\"xx,e,", 5, 10, 1, 4, 7},
      {"ab,\"c,d\"xx,e,", 5, 11, 2, 11, 12},
      {"ab,\"c,d\"xx,e,", 5, 13, 3, 13, 13},
      {"a,,b", 5, 2, 1, 2, 2},
      {"a,b,c", 2, 3, 1, 2, 3},
      {"a,b,c", 2, 4, -1, 0, 0},
      {"\"a\"\"b\"", 5, 2, 0, 1, 2},
      {"\"a\"\"b\"", 5, 3, 1, 4, 5},
      {"\"a\"x\"b", 5, 5, 1, 0, 6},
      {"ab,cd", 5, 99, 1, 3, 5},
  };
  for (const CellCase& c : cases) {
    const CellPlace place = locate_cell(c.line, c.byte, c.limit);
    EXPECT_EQ(place.column, c.column) << c.line << " @" << c.byte;
    if (c.column < 0) continue;
    EXPECT_EQ(place.begin, c.begin) << c.line << " @" << c.byte;
    EXPECT_EQ(place.end, c.end) << c.line << " @" << c.byte;
  }
}

// '{' opens a group and resets the field, ';' and '}' move to the next; text ended by '{' is
// no value; a value's end still stands in it.
TEST(CellPlace, NamesTheNestedValueAndItsField) {
  const std::string_view cell = "x{a;bb}c;{d";
  struct Case {
    std::size_t byte, group;
    int field;
    std::size_t begin, end;
  };
  const Case cases[] = {{0, 0, -1, 0, 1},   {2, 1, 0, 2, 3},   {3, 1, 0, 2, 3},  {4, 1, 1, 4, 6},
                        {6, 1, 1, 4, 6},    {7, 1, 2, 7, 8},   {9, 1, -1, 9, 9}, {10, 2, 0, 10, 11},
                        {11, 2, 0, 10, 11}, {50, 2, 0, 10, 11}};
  for (const Case& c : cases) {
    const NestedPlace place = locate_nested(cell, c.byte);
    EXPECT_EQ(place.group, c.group) << c.byte;
    EXPECT_EQ(place.field, c.field) << c.byte;
    EXPECT_EQ(place.begin, c.begin) << c.byte;
    EXPECT_EQ(place.end, c.end) << c.byte;
  }
  EXPECT_EQ(mesh_piece("{hornet.mesh;}").begin, 1u);
  EXPECT_EQ(mesh_piece("{hornet.mesh;}").end, 12u);
  EXPECT_EQ(mesh_piece("a;b;c").begin, 2u);
  EXPECT_EQ(mesh_piece("a;b;c").end, 3u);
  EXPECT_FALSE(mesh_piece("hornet.mesh").found);
}

std::string read_text(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The sample's unit lines, each also with a few bytes of the cells' and nested lists' syntax
// put in or taken out at random places: quotes, commas, braces, semicolons, letters, digits.
std::string mangled_sample(const std::string& table) {
  std::mt19937 random(20240611);
  std::vector<std::string> lines;
  std::istringstream in(table);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  std::string out = lines[0] + "\n" + lines[1] + "\n";
  constexpr std::string_view kBytes = "\",{};}xT1.-9 ";
  for (std::size_t i = 2; i < lines.size(); ++i) {
    out += lines[i] + "\n";
    for (int variant = 0; variant < 40; ++variant) {
      std::string line = lines[i];
      const int edits = 1 + static_cast<int>(random() % 4);
      for (int e = 0; e < edits && !line.empty(); ++e) {
        const std::size_t at = 1 + random() % (line.size() - 1);
        if (random() % 3 == 0)
          line.erase(at, 1);
        else
          line.insert(at, 1, kBytes[random() % kBytes.size()]);
      }
      out += line + "\n";
    }
  }
  return out;
}

// Every finding of a cell, on the sample and on lines mangled at random, lies in the cell that
// the place of its last byte names, which is the column its message names; a finding of a
// nested value names the field found there and has its range. (The last byte, for a line with
// an unclosed quote after a quoted cell: its last cell is then all of the line, over the cells
// before it, and the places of those name them.)
TEST(CellPlace, AgreesWithTheChecksOnEveryFinding) {
  testing::TempDir dir;
  std::filesystem::copy(UNITCHECK_EXAMPLE_DATA, dir.path() / "data",
                        std::filesystem::copy_options::recursive);
  const std::string data = dir / "data";
  const TextDocument document(mangled_sample(read_text(data + "/units/units.csv")));
  CoreDocumentChecks checks;
  const std::vector<DocumentFinding> findings =
      checks.check_unit_table(UnitTableText{document, data, std::nullopt, std::nullopt, {}, {}});
  std::size_t cells = 0;
  std::size_t nested = 0;
  for (const DocumentFinding& f : findings) {
    if (f.line < 2 || f.rule == lint::Rule::TooManyCells || f.rule == lint::Rule::TooFewCells ||
        f.rule == lint::Rule::EmptyKey)
      continue;
    const std::optional<CellFacts> facts =
        describe_unit_cell(CellQuery{document, data, std::nullopt, f.line, f.end});
    ASSERT_TRUE(facts) << f.line << " " << f.message;
    const std::string_view message = f.message;
    const std::size_t colon = message.find(": ");
    // The messages call the first column Index, as the transcript does; a hover names it as
    // the header does.
    EXPECT_EQ(facts->column_index == 0 ? "Index" : facts->column.name, message.substr(0, colon))
        << f.line << " " << f.message;
    if (facts->column_index == 0) {
      EXPECT_EQ(facts->column.name, "Key");
    }
    const std::string_view rest = message.substr(colon + 2);
    if (facts->table && rest.starts_with(*facts->table + ".")) {
      ++nested;
      EXPECT_TRUE(rest.substr(facts->table->size() + 1).starts_with(facts->field.name + " "))
          << f.line << " " << f.message;
      EXPECT_EQ(facts->begin, f.begin) << f.line << " " << f.message;
      EXPECT_EQ(facts->end, f.end) << f.line << " " << f.message;
    } else if (!facts->table) {
      ++cells;
      EXPECT_LE(facts->begin, f.begin) << f.line << " " << f.message;
      EXPECT_LE(f.end, facts->end) << f.line << " " << f.message;
    }
  }
  // The mangled lines hold faults of both kinds by the hundred.
  EXPECT_GT(cells, 100u);
  EXPECT_GT(nested, 100u);
}

}  // namespace
}  // namespace unitcheck::server
