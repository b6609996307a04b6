#include "validate/unit_header.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tables/schemas.h"

namespace unitcheck {
namespace {

std::vector<std::string> names_of(const std::vector<HeaderColumn>& columns) {
  std::vector<std::string> names;
  for (const HeaderColumn& column : columns) names.push_back(header_column_name(column));
  return names;
}

// "name@index<first" for each repeated column.
std::vector<std::string> repeats_of(const std::vector<RepeatedColumn>& repeats) {
  std::vector<std::string> lines;
  for (const RepeatedColumn& r : repeats)
    lines.push_back(header_column_name(r.column) + "@" + std::to_string(r.column.index) + "<" +
                    std::to_string(r.first_index));
  return lines;
}

// The header's facts, whether the transcript prints them or not: unknown columns (exact,
// case-sensitive names), schema fields no column names, and names given twice, known or not
// (empty ones are not names).
TEST(UnitHeader, FactsOfAHeaderLine) {
  Tables schemas;
  create_tables(schemas);
  const UnitHeader header =
      map_unit_header("Key,Name,name,,\"Hull\",Name,Hull,Mass ,Hull,,name,index", schemas);
  EXPECT_EQ(header.column_count, 12);
  ASSERT_EQ(header.column_map.size(), 12u);
  EXPECT_EQ(header.column_map[0].column_name, "Index");
  EXPECT_EQ(header.column_map[3].column_name, "unknown3");
  EXPECT_TRUE(header.column_map[5].known);
  EXPECT_EQ(header.plans[1].kind, CellKind::Text);
  EXPECT_EQ(header.plans[2].kind, CellKind::Unchecked);

  const HeaderFacts facts = header_facts(header, schemas.units);
  EXPECT_EQ(names_of(facts.unknown),
            (std::vector<std::string>{"name", "unknown3", "\"Hull\"", "Mass ", "unknown9"}));
  EXPECT_EQ(facts.unknown[2].offset, 15);  // where an editor puts the cursor
  EXPECT_EQ(repeats_of(facts.duplicates),
            (std::vector<std::string>{"Name@5<1", "Hull@8<6", "name@10<2", "index@11<0"}));
  EXPECT_EQ(facts.missing.size(), static_cast<std::size_t>(schemas.units.field_count()) - 3);
  EXPECT_EQ(facts.missing.front(), "Directory");
}

// A unit line has no more cells than the schema has fields, so the map keeps no more columns;
// the columns beyond are still walked for their facts.
TEST(UnitHeader, KeepsNoMoreColumnsThanFieldsButWalksThemAll) {
  Tables schemas;
  create_tables(schemas);
  std::string line = "Key";
  for (int i = 1; i < 1000; ++i) line += ",x" + std::to_string(i);
  const UnitHeader header = map_unit_header(line, schemas);
  EXPECT_EQ(header.column_count, 1000);
  EXPECT_EQ(header.column_map.size(), static_cast<std::size_t>(schemas.units.field_count()));
  EXPECT_EQ(header_facts(header, schemas.units).unknown.size(), 999u);
}

}  // namespace
}  // namespace unitcheck
