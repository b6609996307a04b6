#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gen/fault_tally.h"
#include "gen/list_writer.h"
#include "gen/output_buffer.h"
#include "gen/part_catalog.h"
#include "gen/random.h"
#include "gen/unit_pool.h"
#include "gen/unit_row.h"
#include "tables/schemas.h"

namespace unitcheck::gen {

// Writes units/units.csv: the header in the schema's column order, a second header line, then
// one line per unit. The schema comes from the validator's own tables, so the columns, their
// types and their sizes are always the ones it checks against.
class UnitTableWriter {
 public:
  UnitTableWriter(const Tables& tables, const PartCatalog& catalog, const UnitPool& pool,
                  RowOdds odds);

  void write_header(OutputBuffer& out) const;
  // Writes one unit line and counts the diagnostics it should give. row_number names the unit.
  void write_row(long row_number, Random& random, OutputBuffer& out, FaultTally& tally);

  // What a column holds, which decides how its cells are made.
  enum class Role {
    Index,
    Directory,
    Name,
    Status,
    ObjectType,
    CombatRole,
    Description,
    HudImage,
    Cockpit,
    Mesh,
    ShieldMesh,
    RapidMesh,
    BspMesh,
    Functionality,
    Explosion,
    Sound,
    Prohibited,
    Unchecked,
    List,
    Number,
    Boolean,
    Text,
  };
  struct NumberStyle {
    std::int64_t low, high;  // scaled by 10^decimals
    int decimals;
    bool grows_with_unit;  // multiplied by the unit's size class
  };
  struct Column {
    std::string name;
    FieldType type;
    int size;
    Role role;
    NumberStyle style;
    ListKind list;
  };

 private:
  void write_cell(const Column& column, UnitRow& row) const;
  void write_text_cell(const Column& column, UnitRow& row) const;
  void write_list_cell(const Column& column, UnitRow& row) const;

  const PartCatalog& catalog_;
  const UnitPool& pool_;
  RowOdds odds_;
  std::vector<Column> columns_;
  std::vector<ListSchema> lists_;  // indexed by ListKind
  std::string scratch_;
};

}  // namespace unitcheck::gen
