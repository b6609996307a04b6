#include "gen/unit_table.h"

#include "gen/fault_values.h"
#include "tables/schemas.h"

namespace unitcheck::gen {

namespace fv = fault_values;
using Role = UnitTableWriter::Role;
using NumberStyle = UnitTableWriter::NumberStyle;

namespace {

struct NamedRole {
  std::string_view column;
  Role role;
};

constexpr NamedRole kNamedRoles[] = {
    {"index", Role::Index},
    {"Directory", Role::Directory},
    {"Name", Role::Name},
    {"STATUS", Role::Status},
    {"Object_Type", Role::ObjectType},
    {"Combat_Role", Role::CombatRole},
    {"Textual_Description", Role::Description},
    {"Hud_image", Role::HudImage},
    {"Cockpit", Role::Cockpit},
    {"Mesh", Role::Mesh},
    {"Shield_Mesh", Role::ShieldMesh},
    {"Rapid_Mesh", Role::RapidMesh},
    {"BSP_Mesh", Role::BspMesh},
    {"Hud_Functionality", Role::Functionality},
    {"Max_Hud_Functionality", Role::Functionality},
    {"Explosion", Role::Explosion},
    {"Sound", Role::Sound},
    {"Prohibited_Upgrades", Role::Prohibited},
};

struct NamedList {
  std::string_view column;
  ListKind kind;
};

constexpr NamedList kNamedLists[] = {
    {"Upgrades", ListKind::Upgrades}, {"Sub_Units", ListKind::SubUnits},
    {"Light", ListKind::Lights},      {"Mounts", ListKind::Mounts},
    {"Dock", ListKind::Dock},         {"Cargo_Import", ListKind::CargoImport},
    {"Cargo", ListKind::Cargo},
};

// Value ranges of number columns, by a fragment of the column name; the first match counts.
struct NamedStyle {
  std::string_view fragment;
  NumberStyle style;
};

constexpr NamedStyle kNamedStyles[] = {
    {"Unit_Scale", {5, 40, 1, false}},
    {"Cockpit", {-300, 300, 2, false}},
    {"Mass", {20, 400, 0, true}},
    {"Moment_Of_Inertia", {20, 400, 0, true}},
    {"Fuel_Capacity", {100, 5000, 0, true}},
    {"Hull", {200, 4000, 0, true}},
    {"Armor_", {100, 2000, 0, true}},
    {"Shield_Recharge", {500, 8000, 1, false}},
    {"Shield_Leak", {0, 15, 0, false}},
    {"Shield_Efficiency", {50, 100, 2, false}},
    {"Shield_", {200, 6000, 0, true}},
    {"Warp_Capacitor", {0, 5000, 0, false}},
    {"Primary_Capacitor", {100, 4000, 0, true}},
    {"Reactor_Recharge", {1000, 20000, 1, true}},
    {"Jump_Drive_Delay", {-1, 10, 0, false}},
    {"Outsystem_Jump_Cost", {0, 20000, 0, false}},
    {"Warp_Usage_Cost", {0, 500, 0, false}},
    {"Afterburner_Type", {0, 2, 0, false}},
    {"Afterburner_Usage_Cost", {1, 200, 0, false}},
    {"Maneuver_", {1000, 18000, 1, false}},
    {"_Governor", {1000, 18000, 1, false}},
    {"Accel", {100, 30000, 1, false}},
    {"Radar_Range", {1000, 100000000, 0, false}},
    {"_Cone", {-100, 100, 2, false}},
    {"Hold_Volume", {10, 1000, 0, true}},
    {"Cloak_", {0, 100, 2, false}},
    {"Repair_Droid", {0, 3, 0, false}},
    {"ECM_Rating", {0, 50, 0, false}},
    {"ECM_Resist", {0, 100, 1, false}},
    {"Ecm_Drain", {0, 20, 0, false}},
    {"Functionality", {0, 100, 2, false}},
    {"Slide_", {0, 0, 0, false}},
    {"Activation_Speed", {0, 5000, 1, false}},
    {"Num_", {0, 4, 0, false}},
    {"Upgrade_Storage_Volume", {0, 500, 0, true}},
    {"Heat_Sink_Rating", {0, 1000, 1, false}},
    {"Interdiction", {0, 100, 2, false}},
};
constexpr NumberStyle kDefaultStyle = {0, 10000, 1, false};

constexpr std::string_view kVariants[] = {"",       ".blank",    ".military",
                                          ".stock", ".civilian", ".rental"};
constexpr std::string_view kNameSuffixes[] = {"Mk II", "Scout", "Hauler", "Prime", "Vanguard"};
constexpr std::string_view kStatuses[] = {"RELEASED", "RELEASED",     "RELEASED", "BETA",
                                          "ALPHA",    "FACTION_ONLY", "RETIRED"};
constexpr std::string_view kDescriptions[] = {"Agile light fighter", "Heavy escort hull",
                                              "Slow but sturdy", "Favoured by smugglers"};
constexpr std::string_view kExplosions[] = {"explosion_small", "explosion_medium",
                                            "explosion_large", "shockwave", ""};
constexpr std::string_view kSounds[] = {"{engine_hum;shield_hit;hull_hit}", "{engine_roar;klaxon}",
                                        "{reactor_whine}"};
constexpr std::string_view kBooleans[] = {"TRUE", "FALSE", "true", "false", "1", "0"};
constexpr std::string_view kFunctionalities[] = {"1", "1", "0.9", "0.75"};

Role role_for(std::string_view name, FieldType type) {
  for (const NamedRole& named : kNamedRoles)
    if (named.column == name) return named.role;
  for (const NamedList& named : kNamedLists)
    if (named.column == name) return Role::List;
  switch (type) {
    case FieldType::Float:
    case FieldType::Int64:
      return Role::Number;
    case FieldType::Boolean:
      return Role::Boolean;
    case FieldType::Text:
      return Role::Text;
    case FieldType::Integer:
      return Role::Unchecked;
  }
  return Role::Unchecked;
}

NumberStyle style_for(std::string_view name, FieldType type) {
  NumberStyle style = kDefaultStyle;
  for (const NamedStyle& named : kNamedStyles)
    if (name.find(named.fragment) != std::string_view::npos) {
      style = named.style;
      break;
    }
  if (type == FieldType::Int64) style.decimals = 0;
  return style;
}

ListKind list_for(std::string_view name) {
  for (const NamedList& named : kNamedLists)
    if (named.column == name) return named.kind;
  return ListKind::Upgrades;
}

// Fighters and capital ships have cockpits, weapons and their own meshes.
bool is_ship(const UnitRow& row) {
  return row.directory.kind == UnitKind::Fighter || row.directory.kind == UnitKind::Capital;
}

// Overlong text for a unit cell: past the column's storage size, which is what is reported.
void put_overlong(UnitRow& row, int declared_size) {
  row.out.put(fv::kLongText.substr(0, declared_size + row.random.between(2, 9)));
  row.tally.add(FindingKind::TextTooLong);
}

void put_index(UnitRow& row) {
  row.out.put(row.directory.stem);
  row.out.put(row.random.pick(kVariants));
  row.out.put('_');
  row.out.put_int(row.number);
}

// The unit's name; with a comma only in a quoted cell.
void put_name(UnitRow& row, bool quoted) {
  row.out.put(row.directory.display);
  if (row.random.percent(40)) {
    row.out.put(quoted ? ", " : " ");
    row.out.put(row.random.pick(kNameSuffixes));
  }
}

void put_directory(UnitRow& row) {
  const std::string& path = row.directory.path;
  if (row.directory_missing) {
    row.out.put(path);
    row.out.put("-retired");
    row.tally.add(FindingKind::DirectoryMissing);
  } else if (row.random.percent(10)) {
    for (char c : path) row.out.put(c == '/' ? '\\' : c);  // either separator is read as '/'
  } else {
    row.out.put(path);
  }
}

void put_cockpit(UnitRow& row) {
  if (!is_ship(row)) {
    if (row.random.percent(50)) row.out.put("no-cockpit");
    return;
  }
  if (row.random.percent(8)) return row.out.put("no-cockpit");
  const auto& cockpits = row.pool.cockpits;
  if (row.random.chance(row.odds.missing)) {
    row.out.put("lost-");
    row.tally.add(FindingKind::CockpitMissing);
  }
  row.out.put(cockpits[row.random.below(cockpits.size())]);
}

// A file that the unit names: its own (stem and suffix, in its directory) when own_suffix is
// given, else a shared one from meshes/. Now and then a file that is in neither place; the
// validator looks for it only when the unit's directory exists.
void put_file(UnitRow& row, std::string_view own_suffix, std::string_view shared) {
  if (row.random.chance(row.odds.missing)) {
    row.out.put(row.directory.stem);
    row.out.put("-lost");
    row.out.put(own_suffix.empty() ? shared : own_suffix);
    if (!row.directory_missing) row.tally.add(FindingKind::MeshMissing);
    return;
  }
  if (own_suffix.empty()) return row.out.put(shared);
  row.out.put(row.directory.stem);
  row.out.put(own_suffix);
}

void put_hud_image(UnitRow& row) {
  if (is_ship(row))
    return put_file(row, row.random.percent(80) ? "-hud.sprite" : "", "hud-generic.sprite");
  if (row.random.percent(40)) put_file(row, "", "hud-generic.sprite");
}

// The Mesh cell is a list of files, of which the first is the unit's hull.
void put_mesh(UnitRow& row) {
  row.out.put('{');
  if (row.random.percent(85))
    put_file(row, ".mesh", "");
  else
    put_file(row, "", row.random.percent(50) ? "cargo-pod.mesh" : "debris.mesh");
  row.out.put(row.random.percent(20) ? ";debris.mesh;}" : ";}");
}

void put_shield_mesh(UnitRow& row) {
  if (is_ship(row)) {
    const auto roll = row.random.below(100);
    if (roll < 60) return put_file(row, "-shield.mesh", "");
    if (roll < 85) put_file(row, "", "shield-bubble.mesh");
  } else if (row.directory.kind == UnitKind::Base && row.random.percent(50)) {
    put_file(row, "", "shield-dome.mesh");
  }
}

void put_collision_mesh(UnitRow& row, int percent, std::string_view shared) {
  if (row.directory.kind != UnitKind::Equipment && row.random.percent(percent))
    put_file(row, "", shared);
}

void put_bad_number(UnitRow& row, FieldType type) {
  const bool syntax = row.random.percent(50);
  if (type == FieldType::Float) {
    row.out.put(syntax ? row.random.pick(fv::kNotFloat) : row.random.pick(fv::kBadFloat));
    row.tally.add(syntax ? FindingKind::NotFloat : FindingKind::FloatConversion);
  } else {
    row.out.put(syntax ? row.random.pick(fv::kNotInteger) : row.random.pick(fv::kBadInt64));
    row.tally.add(syntax ? FindingKind::NotInteger : FindingKind::IntegerConversion);
  }
}

void put_number(UnitRow& row, const NumberStyle& style, FieldType type) {
  if (row.random.percent(row.profile.empty_percent)) return;
  std::int64_t value = row.random.between(style.low, style.high);
  if (style.grows_with_unit) value *= row.profile.scale;
  if (type == FieldType::Float && style.decimals == 0 && value >= 1000 && row.random.percent(5)) {
    row.out.put_int(value / 1000);
    return row.out.put("e3");
  }
  row.out.put_fixed(value, style.decimals);
}

void put_boolean(UnitRow& row, bool faulty) {
  if (faulty) {
    row.out.put(row.random.pick(fv::kBadBoolean));
    return row.tally.add(FindingKind::NotBoolean);
  }
  if (!row.random.percent(row.profile.empty_percent)) row.out.put(row.random.pick(kBooleans));
}

// Cells that the validator does not look into, filled as the data usually has them.
void put_unchecked(UnitRow& row, Role role) {
  if (role == Role::Description && row.random.percent(30))
    row.out.put(row.random.pick(kDescriptions));
  else if (role == Role::Sound && is_ship(row) && row.random.percent(40))
    row.out.put(row.random.pick(kSounds));
  else if (role == Role::Prohibited && row.random.percent(10) && !row.catalog.upgrades.empty()) {
    const auto& upgrades = row.catalog.upgrades;
    row.out.put('{');
    row.out.put(row.catalog.parts[upgrades[row.random.below(upgrades.size())]].file);
    row.out.put(";1}");
  }
}

}  // namespace

UnitTableWriter::UnitTableWriter(const Tables& tables, const PartCatalog& catalog,
                                 const UnitPool& pool, RowOdds odds)
    : catalog_(catalog), pool_(pool), odds_(odds) {
  const MemTable& units = tables.units;
  for (int i = 0; i < units.field_count(); ++i) {
    const Field& field = units.field_at(i);
    columns_.push_back({field.name(), field.type(), field.size(),
                        role_for(field.name(), field.type()), style_for(field.name(), field.type()),
                        list_for(field.name())});
  }
  // In the unit table's order, which ListKind follows.
  for (const NestedListColumn& list : nested_list_columns())
    lists_.push_back(make_list_schema(list.table));
}

void UnitTableWriter::write_header(OutputBuffer& out) const {
  static constexpr std::string_view kTypeWords[] = {"text", "int", "int64", "float", "bool"};
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    if (i > 0) out.put(',');
    out.put(i == 0 ? std::string_view("Key") : std::string_view(columns_[i].name));
  }
  out.put('\n');
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    if (i > 0) out.put(',');
    out.put(kTypeWords[static_cast<int>(columns_[i].type)]);
  }
  out.put('\n');
}

void UnitTableWriter::write_row(long row_number, Random& random, OutputBuffer& out,
                                FaultTally& tally) {
  const UnitDirectory& directory = pool_.directories[random.below(pool_.directories.size())];
  UnitRow row{.out = out,
              .random = random,
              .tally = tally,
              .odds = odds_,
              .catalog = catalog_,
              .pool = pool_,
              .directory = directory,
              .profile = profile_for(directory.kind),
              .number = row_number,
              .directory_missing = random.chance(odds_.missing),
              .scratch = scratch_};
  const int field_count = static_cast<int>(columns_.size());
  int cells = field_count;
  int extra_cells = 0;
  if (random.chance(odds_.fault)) {
    if (random.percent(50))
      extra_cells = static_cast<int>(random.between(1, 3));
    else
      cells = static_cast<int>(random.between(std::min(10, field_count - 1), field_count - 1));
  }
  for (int i = 0; i < cells; ++i) {
    if (i > 0) out.put(',');
    write_cell(columns_[i], row);
  }
  for (int i = 0; i < extra_cells; ++i) out.put(",0");
  out.put('\n');
  if (extra_cells > 0) tally.add(FindingKind::TooManyCells);
  if (cells < field_count) tally.add(FindingKind::TooFewCells);
}

void UnitTableWriter::write_cell(const Column& column, UnitRow& row) const {
  switch (column.role) {
    case Role::Index:
    case Role::Name:
    case Role::Status:
    case Role::ObjectType:
    case Role::CombatRole:
    case Role::Functionality:
    case Role::Explosion:
    case Role::Text:
      return write_text_cell(column, row);
    case Role::Directory:
      return put_directory(row);
    case Role::Cockpit:
      return put_cockpit(row);
    case Role::HudImage:
      return put_hud_image(row);
    case Role::Mesh:
      return put_mesh(row);
    case Role::ShieldMesh:
      return put_shield_mesh(row);
    case Role::RapidMesh:
      return put_collision_mesh(row, 30,
                                row.random.percent(50) ? "rapid-box.mesh" : "rapid-hull.mesh");
    case Role::BspMesh:
      return put_collision_mesh(row, 20, "bsp-generic.mesh");
    case Role::Description:
    case Role::Sound:
    case Role::Prohibited:
    case Role::Unchecked:
      return put_unchecked(row, column.role);
    case Role::List:
      return write_list_cell(column, row);
    case Role::Boolean:
      return put_boolean(row, row.random.chance(odds_.fault));
    case Role::Number:
      if (row.random.chance(odds_.fault)) return put_bad_number(row, column.type);
      return put_number(row, column.style, column.type);
  }
}

// Text cells that can be too long; the first cell never starts with a quote.
void UnitTableWriter::write_text_cell(const Column& column, UnitRow& row) const {
  const bool quoted =
      column.role != Role::Index && row.random.percent(column.role == Role::Name ? 4 : 1);
  if (quoted) row.out.put('"');
  if (row.random.chance(odds_.fault)) {
    put_overlong(row, column.size);
  } else {
    switch (column.role) {
      case Role::Index:
        put_index(row);
        break;
      case Role::Name:
        put_name(row, quoted);
        break;
      case Role::Status:
        row.out.put(row.random.pick(kStatuses));
        break;
      case Role::ObjectType:
        row.out.put(row.random.pick(row.profile.object_types));
        break;
      case Role::CombatRole:
        row.out.put(row.random.pick(row.profile.roles));
        break;
      case Role::Functionality:
        if (is_ship(row)) row.out.put(row.random.pick(kFunctionalities));
        break;
      case Role::Explosion:
        row.out.put(row.random.pick(kExplosions));
        break;
      default:
        break;
    }
  }
  if (quoted) row.out.put('"');
}

void UnitTableWriter::write_list_cell(const Column& column, UnitRow& row) const {
  const auto kind = static_cast<std::size_t>(column.list);
  const GroupRange range = row.profile.groups[kind];
  const int groups = static_cast<int>(row.random.between(range.low, range.high));
  if (groups == 0) return;
  // Cargo descriptions may hold commas, and then the cell is quoted.
  const bool quoted = column.list == ListKind::Cargo && row.random.percent(25);
  if (quoted) row.out.put('"');
  ListWriter list(row.out, row.random, row.tally, lists_[kind], odds_.fault, groups);
  for (int i = 0; i < groups; ++i) write_group(column.list, list, row, quoted);
  if (quoted) row.out.put('"');
}

}  // namespace unitcheck::gen
