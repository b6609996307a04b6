#include "gen/generate.h"

#include <algorithm>

#include "gen/output_buffer.h"
#include "gen/part_catalog.h"
#include "gen/random.h"
#include "gen/unit_pool.h"
#include "gen/unit_table.h"
#include "tables/schemas.h"

namespace unitcheck::gen {

namespace {

// Independent streams for the part list, the directory pool and the rows, so that changing
// the row count leaves the part list and the directories as they were.
enum Stream : std::uint64_t { kPartStream = 1, kPoolStream = 2, kRowStream = 3 };

Random stream(const GenOptions& options, Stream which) {
  return Random(options.random_state * 0x9E3779B97F4A7C15 + which);
}

}  // namespace

int directory_count(const GenOptions& options) {
  return static_cast<int>(std::clamp<long>(options.rows, 1, std::max(options.directories, 1)));
}

GenSummary generate_data(const GenOptions& options, const std::filesystem::path& out) {
  GenSummary summary;
  std::filesystem::create_directories(out / "units");

  Random part_random = stream(options, kPartStream);
  const PartCatalog catalog =
      build_part_catalog(part_random, std::max(options.parts, minimum_part_count()));
  OutputBuffer part_list(out / "master_part_list.csv");
  write_part_list(catalog, part_list);
  part_list.finish();

  Random pool_random = stream(options, kPoolStream);
  const UnitPool pool = build_unit_pool(pool_random, directory_count(options));
  create_data_tree(out, pool);

  Tables tables;
  create_tables(tables);
  UnitTableWriter writer(tables, catalog, pool,
                         RowOdds{Odds(options.fault_share), Odds(options.missing_share)});
  OutputBuffer unit_table(out / "units" / "units.csv");
  writer.write_header(unit_table);
  Random row_random = stream(options, kRowStream);
  // Line numbers of the data rows start at 3, after the two header lines.
  for (long row = 0; row < options.rows; ++row)
    writer.write_row(row + 3, row_random, unit_table, summary.expected);
  unit_table.finish();

  summary.rows = options.rows;
  summary.unit_table_bytes = unit_table.bytes();
  summary.parts = static_cast<int>(catalog.parts.size());
  summary.directories = static_cast<int>(pool.directories.size());
  return summary;
}

}  // namespace unitcheck::gen
