#include "lint/core_data_check.h"

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "lint/data_suggestions.h"
#include "lint/inside_directory.h"
#include "lint/suggestion_lists.h"
#include "platform/beneath.h"
#include "platform/input_file.h"
#include "platform/ordered_work.h"
#include "tables/schemas.h"
#include "validate/check_unit_rows.h"
#include "validate/part_list.h"
#include "validate/path_bounds.h"
#include "validate/unit_header.h"

namespace unitcheck::lint {

DataCheckResult CoreDataCheck::check(const DataDirectory& directory, LintWriter& writer) {
  Tables schemas;
  create_tables(schemas);
  // Both data files are opened from the directory's handle: a link swapped in between a test
  // and the read cannot lead the read elsewhere.
  const BeneathDirectory opened(directory.root());
  const Links links = directory.follow_links ? Links::Anywhere : Links::Beneath;
  InputFile part_list_file(directory.part_list(), opened.open_file("master_part_list.csv", links));
  const PartList part_list(read_whole_file(part_list_file));
  auto [header, unit_rows] =
      read_unit_header(UnitChunkReader(std::make_unique<InputFile>(
                           directory.unit_table(), opened.open_file("units/units.csv", links))),
                       schemas);
  writer.check_header(header, schemas.units);

  // Names are drawn only from folders inside the data directory, links followed.
  const std::string& real_root = opened.real_path();
  DataSuggestions suggestions(part_list, directory.root(), opened);
  writer.set_context({&suggestions.lists(), header.plans});

  // Path cells are judged against the same real path the suggestions keep inside.
  const PathJudging paths{real_root};
  const UnitRows rows = check_unit_rows(header, unit_rows, part_list, directory.root(), writer,
                                        checking_threads(), &paths);
  return {true, rows.checked_lines, {}};
}

}  // namespace unitcheck::lint
