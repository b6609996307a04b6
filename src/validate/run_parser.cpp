#include "validate/run_parser.h"

#include "csv/load_unchecked.h"
#include "driver/run.h"
#include "validate/category_list.h"
#include "validate/part_index.h"
#include "validate/row_checks.h"
#include "validate/unit_header.h"

namespace unitcheck {

void run_parser(Run& run) {
  run.console.line("Parser Begins");
  load_csv_unchecked(run.data_directory + "master_part_list.csv", run.tables.masterpartslist, 1,
                     run.console);
  build_category_list(run.tables.masterpartslist, run.category_list);
  const PartIndex parts(run.tables.masterpartslist);
  UnitHeader header = read_unit_header(run);
  check_unit_rows(run, *header.reader, header.column_map, parts);
}

}  // namespace unitcheck
