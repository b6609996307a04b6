#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "gen/fault_tally.h"
#include "gen/list_writer.h"
#include "gen/output_buffer.h"
#include "gen/part_catalog.h"
#include "gen/random.h"
#include "gen/unit_pool.h"

namespace unitcheck::gen {

// How often a row carries a fault or names something that is not on disk.
struct RowOdds {
  Odds fault;    // per cell that can hold one, and per row for a wrong cell count
  Odds missing;  // per reference to a unit directory, cockpit or mesh file
};

enum class ListKind { Upgrades, SubUnits, Lights, Mounts, Dock, CargoImport, Cargo };
inline constexpr int kListKindCount = 7;

struct GroupRange {
  int low, high;
};

// What a kind of unit looks like: how full its rows are and how long its lists.
struct KindProfile {
  int empty_percent;   // share of scalar cells left empty
  std::int64_t scale;  // size class: multiplies masses, hull, armor, shields, volumes
  GroupRange groups[kListKindCount];  // by ListKind
  std::span<const std::string_view> object_types;
  std::span<const std::string_view> roles;
};

const KindProfile& profile_for(UnitKind kind);

// Everything the cells of one unit line are made from.
struct UnitRow {
  OutputBuffer& out;
  Random& random;
  FaultTally& tally;
  const RowOdds& odds;
  const PartCatalog& catalog;
  const UnitPool& pool;
  const UnitDirectory& directory;
  const KindProfile& profile;
  long number;
  bool directory_missing;
  std::string& scratch;  // reused text, so that rows allocate nothing
};

// Writes the values of one group of a list of the given kind. quoted: the cell is quoted, so
// values may hold commas.
void write_group(ListKind kind, ListWriter& list, UnitRow& row, bool quoted);

}  // namespace unitcheck::gen
