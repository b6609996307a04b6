#include "lint/core_data_check.h"

#include <string>
#include <string_view>
#include <vector>

#include "lint/folder_listings.h"
#include "platform/file_system.h"
#include "platform/ordered_work.h"
#include "tables/schemas.h"
#include "tables/text_map.h"
#include "validate/check_unit_rows.h"
#include "validate/part_list.h"
#include "validate/unit_header.h"

namespace unitcheck::lint {

namespace {

// The names that suggestions are drawn from, kept alive for the whole run.
struct SuggestionNames {
  std::vector<std::string_view> categories;
  std::vector<std::string_view> part_names;
  std::vector<std::string> unit_directories;
  std::vector<std::string> cockpits;
  std::vector<std::string> meshes;
  std::vector<std::string_view> unit_directory_views;
  std::vector<std::string_view> cockpit_views;
  std::vector<std::string_view> mesh_views;
};

// The non-empty texts of a column of the part list, in its order; each once when distinct is
// set. A name offered twice changes no answer (the first of equal names is offered), so part
// names, nearly all distinct already, are not sorted out: that would cost more than it saves.
std::vector<std::string_view> texts_of(MemTable& table, std::string_view field_name,
                                       bool distinct) {
  const Field& field = table.field_by_name(field_name);
  TextSet seen;
  std::vector<std::string_view> texts;
  texts.reserve(static_cast<std::size_t>(distinct ? 0 : table.record_count()));
  for (table.first(); !table.eof(); table.next()) {
    const std::string_view text = field.as_text();
    if (text.empty()) continue;
    if (distinct) {
      if (seen.contains(text)) continue;
      seen.insert(text);
    }
    texts.push_back(text);
  }
  texts.shrink_to_fit();  // kept for the run
  return texts;
}

std::vector<std::string_view> views_of(const std::vector<std::string>& texts) {
  return {texts.begin(), texts.end()};
}

}  // namespace

DataCheckResult CoreDataCheck::check(const DataDirectory& directory, LintWriter& writer) {
  Tables schemas;
  create_tables(schemas);
  PartList part_list(directory.part_list());
  UnitHeader header = read_unit_header(directory.unit_table(), schemas);
  writer.check_header(header, schemas.units);

  SuggestionNames names;
  FolderListings unit_folders;
  // Gathered on the checking thread of the first finding: a table without faults pays nothing.
  // Nothing else reads the part list's table while the rows are checked (they ask its indexes),
  // so its cursor is this one's.
  writer.set_suggestions([&]() {
    names.categories = texts_of(part_list.masterpartslist, "categoryname", true);
    names.part_names = texts_of(part_list.masterpartslist, "file", false);
    names.unit_directories = folder_entry_names(directory.root() + "units");
    names.cockpits = folder_entry_names(directory.root() + "cockpits");
    names.meshes = folder_entry_names(directory.root() + "meshes");
    names.unit_directory_views = views_of(names.unit_directories);
    names.cockpit_views = views_of(names.cockpits);
    names.mesh_views = views_of(names.meshes);
    return SuggestionLists{NameIndex(names.categories),
                           NameIndex(names.part_names),
                           NameIndex(names.unit_directory_views),
                           NameIndex(names.cockpit_views),
                           NameIndex(names.mesh_views),
                           &unit_folders,
                           header.plans};
  });

  const UnitRows rows = check_unit_rows(header, *header.rows, part_list, directory.root(), writer,
                                        checking_threads());
  return {true, rows.lines, {}};
}

}  // namespace unitcheck::lint
