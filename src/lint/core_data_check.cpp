#include "lint/core_data_check.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "lint/folder_listings.h"
#include "lint/inside_directory.h"
#include "lint/suggestion_lists.h"
#include "platform/file_system.h"
#include "platform/ordered_work.h"
#include "tables/schemas.h"
#include "tables/text_map.h"
#include "validate/check_unit_rows.h"
#include "validate/part_list.h"
#include "validate/path_bounds.h"
#include "validate/unit_header.h"

namespace unitcheck::lint {

namespace {

// A folder's entries, and views of them for an index.
struct FolderNames {
  std::vector<std::string> names;
  std::vector<std::string_view> views;
};

// The names that suggestions are drawn from, kept alive for the whole run; each list is filled
// once, when its index is made.
struct SuggestionNames {
  std::vector<std::string_view> categories;
  std::vector<std::string_view> part_names;
  FolderNames unit_directories;
  FolderNames cockpits;
  FolderNames meshes;
};

// The non-empty texts of a column of the part list, in its order; each once when distinct is
// set. A name offered twice changes no answer (the first of equal names is offered), so part
// names, nearly all distinct already, are not sorted out: that would cost more than it saves.
std::vector<std::string_view> texts_of(const MemTable& table, std::string_view field_name,
                                       bool distinct) {
  const Field& field = table.field_by_name(field_name);
  TextSet seen;
  std::vector<std::string_view> texts;
  texts.reserve(static_cast<std::size_t>(distinct ? 0 : table.record_count()));
  table.for_each_text(field.position(), [&](std::string_view text) {
    if (text.empty()) return;
    if (distinct) {
      if (seen.contains(text)) return;
      seen.insert(text);
    }
    texts.push_back(text);
  });
  texts.shrink_to_fit();  // kept for the run
  return texts;
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
  // Each list is made when a finding first needs it, on that finding's thread: a table without
  // faults pays nothing, and one whose faults need no list pays for none. The part list's two
  // lists may be made at once on two threads: they read its table without its cursor.
  const auto part_list_texts = [&](std::vector<std::string_view>& texts, std::string_view field,
                                   bool distinct) {
    return [&part_list, out = &texts, field, distinct] {
      *out = texts_of(part_list.masterpartslist, field, distinct);
      return std::span<const std::string_view>(*out);
    };
  };
  // Names are drawn only from folders inside the data directory, links followed.
  const std::string real_root = real_path(directory.root());
  unit_folders.keep_inside(real_root);
  const auto folder_entries = [&](FolderNames& folder, std::string_view name) {
    return [out = &folder, &real_root, path = directory.root() + std::string(name)] {
      if (outside_target(real_root, path).empty()) out->names = folder_entry_names(path);
      out->views.assign(out->names.begin(), out->names.end());
      return std::span<const std::string_view>(out->views);
    };
  };
  SuggestionLists suggestions;
  suggestions.categories = NameIndex(part_list_texts(names.categories, "categoryname", true));
  suggestions.part_names = NameIndex(part_list_texts(names.part_names, "file", false));
  suggestions.unit_directories = NameIndex(folder_entries(names.unit_directories, "units"));
  suggestions.cockpits = NameIndex(folder_entries(names.cockpits, "cockpits"));
  suggestions.meshes = NameIndex(folder_entries(names.meshes, "meshes"));
  suggestions.unit_folders = &unit_folders;
  writer.set_context({&suggestions, header.plans});

  // Path cells are judged against the same real path the suggestions keep inside.
  const PathJudging paths{real_root};
  const UnitRows rows = check_unit_rows(header, *header.rows, part_list, directory.root(), writer,
                                        checking_threads(), &paths);
  return {true, rows.checked_lines, {}};
}

}  // namespace unitcheck::lint
