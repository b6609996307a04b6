#include "server/core_cell_info.h"

#include <algorithm>
#include <string_view>

#include "csv/split_unit_row.h"
#include "lint/utf8.h"
#include "platform/failure.h"
#include "platform/file_system.h"
#include "server/cell_place.h"
#include "server/part_list_source.h"
#include "tables/schemas.h"
#include "validate/char_sets.h"
#include "validate/part_list.h"
#include "validate/unit_header.h"

namespace unitcheck::server {
namespace {

// A text of the table as the answers carry it: no more than a client is shown, however long
// the cell.
std::string cut(std::string_view text) {
  return std::string(text.substr(0, lint::utf8_prefix_length(text, kSymbolTextLimit)));
}

UnitHeader header_of(const TextDocument& document) {
  Tables schemas;
  create_tables(schemas);
  return map_unit_header(std::string(document.line(0)), schemas);
}

// The schema's column that the header's column index names, or null: column 0 is the key
// whatever the header calls it.
const ColumnSchema* unit_column_schema(std::size_t index, std::string_view name) {
  const std::span<const ColumnSchema> columns = unit_columns();
  if (index == 0) return &columns.front();
  const auto found = std::ranges::find(columns, name, &ColumnSchema::name);
  return found == columns.end() ? nullptr : &*found;
}

DeclaredField declared(std::string_view name, const ColumnSchema* schema) {
  DeclaredField field{cut(name), {}, 0};
  if (schema != nullptr) {
    field.type = field_type_name(schema->type);
    field.size = schema->type == FieldType::Text ? schema->size : 0;
  }
  return field;
}

// The index of the header's (known) Name column, or -1.
int name_column(const UnitHeader& header) {
  for (std::size_t i = 1; i < header.column_map.size(); ++i) {
    if (header.column_map[i].known && header.column_map[i].column_name == "Name")
      return static_cast<int>(i);
  }
  return -1;
}

// The line's first count cells (fewer when it has fewer), cut as the checks cut them.
std::vector<std::string_view> first_cells(std::string_view line, int count) {
  std::vector<std::string_view> cells;
  if (line.empty() || count <= 0) return cells;
  split_unit_row(line, count, [&](int, std::string_view cell) { cells.push_back(cell); });
  return cells;
}

std::optional<CellFacts> describe_header_cell(const UnitHeader& header, std::size_t byte) {
  std::optional<CellFacts> facts;
  header.for_each_column([&](const HeaderColumn& column) {
    const auto begin = static_cast<std::size_t>(column.offset);
    const std::size_t end = begin + column.text.size();
    if (facts || byte < begin || byte > end) return;
    facts.emplace();
    facts->header = true;
    facts->known = column.known;
    facts->column_index = static_cast<int>(column.index);
    const auto index = static_cast<std::size_t>(column.index);
    facts->column =
        declared(column.text, column.known ? unit_column_schema(index, column.text) : nullptr);
    facts->begin = begin;
    facts->end = end;
  });
  return facts;
}

// The nested field's place and declaration, when the place lies in a nested list's value.
void describe_nested(const NestedList& list, std::string_view line, std::size_t byte,
                     CellFacts& facts) {
  const NestedPlace place =
      locate_nested(line.substr(facts.begin, facts.end - facts.begin), byte - facts.begin);
  facts.table = list.table_name;
  facts.group = place.group;
  if (place.field >= 0 && static_cast<std::size_t>(place.field) < list.fields.size()) {
    const NestedField& field = list.fields[static_cast<std::size_t>(place.field)];
    facts.field = DeclaredField{field.name, field_type_name(field.type),
                                field.type == FieldType::Text ? field.declared_size : 0};
  }
  facts.end = facts.begin + place.end;
  facts.begin += place.begin;
}

// A name that can stand in a cell as it is: printable, well-formed, no delimiter of a cell
// (nor of a nested list's or mesh cell's values when nested).
bool fits_in_cell(std::string_view name, bool nested) {
  if (name.empty() || !lint::is_valid_utf8(name)) return false;
  return std::ranges::none_of(name, [&](char c) {
    const auto b = static_cast<unsigned char>(c);
    return b < 0x20 || b == 0x7F || c == ',' || c == '"' || (nested && mesh_delimiters.contains(c));
  });
}

// Whether name begins with prefix, letter case aside (ASCII).
bool begins_with_folded(std::string_view name, std::string_view prefix) {
  if (name.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (fold(name[i]) != fold(prefix[i])) return false;
  }
  return true;
}

// Gathers the values that match the typed prefix, then gives at most kCompletionLimit of them
// in order. Past a few times that many, the rest are left out and the offer is incomplete (the
// client asks again as more is typed): a list of 100,000 names costs no 100,000 copies.
class Offers {
 public:
  Offers(std::string_view prefix, bool nested) : prefix_(prefix), nested_(nested) {}
  // False once the offers are more than enough: a caller stops asking.
  bool add(std::string_view name) {
    if (!wants(name)) return true;
    if (values_.size() >= kCompletionLimit * 4) {
      incomplete_ = true;
      return false;
    }
    values_.emplace_back(name);
    return true;
  }
  bool wants(std::string_view name) const {
    return begins_with_folded(name, prefix_) && fits_in_cell(name, nested_);
  }
  void put_into(CompletionChoices& choices) {
    std::ranges::sort(values_);
    values_.erase(std::unique(values_.begin(), values_.end()), values_.end());
    if (values_.size() > kCompletionLimit) {
      values_.resize(kCompletionLimit);
      choices.incomplete = true;
    }
    choices.values = std::move(values_);
  }
  bool incomplete() const { return incomplete_; }

 private:
  std::string_view prefix_;
  bool nested_;
  std::vector<std::string> values_;
  bool incomplete_ = false;
};

// The data directory as the checks name it (ending with a slash) and its real path.
struct DataRoot {
  std::string root;
  BeneathDirectory opened;
};
DataRoot data_root(std::string_view directory) {
  DataRoot out{std::string(directory), {}};
  if (out.root.empty() || out.root.back() != '/') out.root.push_back('/');
  out.opened = BeneathDirectory(out.root);
  return out;
}

// Adds the entries of folder (under the data directory) that are folders, or files, as asked;
// nothing from a folder that leads outside the data directory. The folder is listed, and its
// entries tested, from the directory's handle.
void offer_entries(const DataRoot& data, const std::string& folder, bool folders, Offers& offers) {
  if (!folder.starts_with(data.root)) return;
  const std::string relative = folder.substr(data.root.size());
  for (const std::string& name : data.opened.folder_entry_names(relative)) {
    if (!offers.wants(name)) continue;
    const EntryKind kind = data.opened.entry_kind(relative + "/" + name);
    if (kind == EntryKind::Missing || (kind == EntryKind::Directory) != folders) continue;
    if (!offers.add(name)) return;
  }
}

void offer_part_list(const CellQuery& query, const DataRoot& data, ColumnRole role,
                     Offers& offers) {
  std::unique_ptr<PartList> part_list;
  try {
    part_list = read_part_list(query.part_list, data.root, data.opened);
  } catch (const Failure&) {
    return;  // no part list to offer from
  }
  const NameSet& names =
      role == ColumnRole::PartName ? part_list->parts.part_names() : part_list->parts.categories();
  names.for_each([&](std::string_view name) { offers.add(name); });  // stops adding when full
}

// The mesh files a unit may name: those of its own directory, then of meshes/.
void offer_meshes(const DataRoot& data, std::string_view unit_directory, Offers& offers) {
  if (!unit_directory.empty())
    offer_entries(data, data.root + "units/" + std::string(unit_directory), false, offers);
  offer_entries(data, data.root + "meshes", false, offers);
}

// The line's Directory cell, when the header has one.
std::string_view directory_cell(const UnitHeader& header, std::string_view line) {
  for (std::size_t i = 0; i < header.plans.size(); ++i) {
    if (header.plans[i].kind != CellKind::Text || header.plans[i].role != ColumnRole::Directory)
      continue;
    const std::vector<std::string_view> cells = first_cells(line, static_cast<int>(i) + 1);
    return i < cells.size() ? cells[i] : std::string_view();
  }
  return {};
}

}  // namespace

std::optional<CellFacts> describe_unit_cell(const CellQuery& query) {
  const TextDocument& document = query.document;
  if (query.line >= document.line_count()) return std::nullopt;
  const std::string_view line = document.line(query.line);
  const UnitHeader header = header_of(document);
  if (query.line == 0) return describe_header_cell(header, query.byte);
  if (query.line < kFirstDataLine || line.empty()) return std::nullopt;
  const CellPlace place = locate_cell(line, query.byte, static_cast<int>(header.field_count));
  if (place.column < 0) return std::nullopt;
  CellFacts facts;
  const auto index = static_cast<std::size_t>(place.column);
  facts.column_index = place.column;
  facts.begin = place.begin;
  facts.end = place.end;
  if (index < header.column_map.size()) {
    const ColumnEntry& entry = header.column_map[index];
    facts.known = entry.known;
    facts.column = declared(entry.column_name,
                            entry.known ? unit_column_schema(index, entry.column_name) : nullptr);
  } else {
    facts.known = false;
  }
  const bool in_value = query.byte >= place.begin && query.byte <= place.end;
  if (index < header.plans.size() && header.plans[index].kind == CellKind::Nested && in_value) {
    describe_nested(header.nested_lists.lists[static_cast<std::size_t>(header.plans[index].nested)],
                    line, query.byte, facts);
  }
  const int name = name_column(header);
  const std::vector<std::string_view> cells = first_cells(line, std::max(name + 1, 1));
  if (!cells.empty()) facts.key = cut(cells[0]);
  if (name > 0 && static_cast<std::size_t>(name) < cells.size())
    facts.name = cut(cells[static_cast<std::size_t>(name)]);
  return facts;
}

CompletionChoices complete_unit_cell(const CellQuery& query) {
  const TextDocument& document = query.document;
  if (query.line < kFirstDataLine || query.line >= document.line_count()) return {};
  const std::string_view line = document.line(query.line);
  const UnitHeader header = header_of(document);
  const CellPlace place = locate_cell(line, query.byte, static_cast<int>(header.field_count));
  const auto index = static_cast<std::size_t>(place.column);
  if (place.column < 0 || index >= header.plans.size()) return {};
  if (query.byte < place.begin || query.byte > place.end) return {};
  const ColumnPlan& plan = header.plans[index];
  CompletionChoices choices;
  choices.begin = place.begin;
  choices.end = place.end;
  const std::string_view cell = line.substr(place.begin, place.end - place.begin);
  const std::size_t at = query.byte - place.begin;
  // The value's bytes in the cell, narrowed to a nested value or a mesh piece.
  std::size_t value_begin = 0;
  std::size_t value_end = cell.size();
  ColumnRole role = plan.role;
  bool nested = false;
  bool boolean = plan.kind == CellKind::Boolean;
  if (plan.kind == CellKind::Nested) {
    const NestedList& list = header.nested_lists.lists[static_cast<std::size_t>(plan.nested)];
    const NestedPlace value = locate_nested(cell, at);
    if (value.field < 0 || static_cast<std::size_t>(value.field) >= list.fields.size()) return {};
    const NestedField& field = list.fields[static_cast<std::size_t>(value.field)];
    role = field.role;
    boolean = field.type == FieldType::Boolean;
    nested = true;
    value_begin = value.begin;
    value_end = value.end;
  } else if (plan.kind == CellKind::Text && plan.role == ColumnRole::Mesh) {
    const MeshPiece piece = mesh_piece(cell);
    if (!piece.found || at < piece.begin || at > piece.end) return {};
    nested = true;
    value_begin = piece.begin;
    value_end = piece.end;
  } else if (plan.kind != CellKind::Text && !boolean) {
    return {};
  }
  choices.begin = place.begin + value_begin;
  choices.end = place.begin + value_end;
  Offers offers(cell.substr(value_begin, at - value_begin), nested);
  const DataRoot data = data_root(query.data_directory);
  if (boolean) {
    choices.kind = "boolean";
    // A nested boolean takes 1, 0 or nothing; a cell the words too.
    for (std::string_view word : {"1", "0", "TRUE", "FALSE", "true", "false"}) {
      if (!nested || word.size() == 1) offers.add(word);
    }
  } else if (role == ColumnRole::Category || role == ColumnRole::CargoCategory ||
             role == ColumnRole::PartName) {
    choices.kind = role == ColumnRole::PartName ? "part" : "category";
    offer_part_list(query, data, role, offers);
  } else if (role == ColumnRole::Directory) {
    choices.kind = "folder";
    offer_entries(data, data.root + "units", true, offers);
  } else if (role == ColumnRole::Cockpit) {
    choices.kind = "folder";
    offers.add("no-cockpit");
    offer_entries(data, data.root + "cockpits", true, offers);
  } else if (role == ColumnRole::Mesh || role == ColumnRole::MeshFile) {
    choices.kind = "file";
    offer_meshes(data, directory_cell(header, line), offers);
  } else {
    return {};
  }
  offers.put_into(choices);
  choices.incomplete = choices.incomplete || offers.incomplete();
  return choices;
}

std::vector<UnitSymbol> find_unit_symbols(const TextDocument& document) {
  std::vector<UnitSymbol> symbols;
  const UnitHeader header = header_of(document);
  const int name = name_column(header);
  const int wanted = std::max(name + 1, 1);
  for (std::size_t at = kFirstDataLine; at < document.line_count(); ++at) {
    const std::string_view line = document.line(at);
    // A line without a key names no unit.
    if (line.empty() || line.front() == ',') continue;
    const std::vector<std::string_view> cells = first_cells(line, wanted);
    UnitSymbol symbol;
    symbol.line = at;
    symbol.key_begin = static_cast<std::size_t>(cells[0].data() - line.data());
    symbol.key_end = symbol.key_begin + cells[0].size();
    symbol.key = cut(cells[0]);
    if (name > 0 && static_cast<std::size_t>(name) < cells.size())
      symbol.name = cut(cells[static_cast<std::size_t>(name)]);
    symbols.push_back(std::move(symbol));
  }
  return symbols;
}

}  // namespace unitcheck::server
