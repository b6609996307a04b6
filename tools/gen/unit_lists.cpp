// The groups of the seven nested lists, as each kind of unit fills them.
#include <algorithm>

#include "gen/unit_row.h"

namespace unitcheck::gen {

namespace {

constexpr std::string_view kFighterTypes[] = {"Ship"};
constexpr std::string_view kCapitalTypes[] = {"Ship", "Carrier", "Freighter"};
constexpr std::string_view kBaseTypes[] = {"Station", "Outpost", "Shipyard"};
constexpr std::string_view kEquipmentTypes[] = {"Equipment", "Cargo_Pod"};
constexpr std::string_view kFighterRoles[] = {"FIGHTER", "INTERCEPTOR", "BOMBER", "ESCORT"};
constexpr std::string_view kCapitalRoles[] = {"CARRIER", "CRUISER", "TRADER"};
constexpr std::string_view kBaseRoles[] = {"BASE"};
constexpr std::string_view kEquipmentRoles[] = {"UTILITY", "NONE"};

// Group counts in ListKind order: upgrades, sub-units, lights, mounts, docks, imports, cargo.
constexpr KindProfile kFighter = {
    4, 1, {{2, 8}, {0, 1}, {2, 6}, {10, 24}, {0, 0}, {0, 0}, {0, 8}}, kFighterTypes, kFighterRoles};
constexpr KindProfile kCapital = {6,
                                  25,
                                  {{4, 12}, {4, 12}, {6, 16}, {20, 40}, {1, 4}, {0, 6}, {10, 40}},
                                  kCapitalTypes,
                                  kCapitalRoles};
constexpr KindProfile kBase = {30,
                               200,
                               {{0, 4}, {2, 8}, {10, 30}, {0, 10}, {4, 16}, {10, 40}, {100, 400}},
                               kBaseTypes,
                               kBaseRoles};
constexpr KindProfile kEquipment = {85,
                                    1,
                                    {{0, 2}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}},
                                    kEquipmentTypes,
                                    kEquipmentRoles};

constexpr std::string_view kTurrets[] = {"turret-small", "turret-large", "turret-flak",
                                         "turret-beam"};
constexpr std::string_view kLightSprites[] = {"flare-small.sprite", "flare-blue.sprite",
                                              "beacon.sprite", "engine-glow.sprite"};
constexpr std::string_view kMountSizes[] = {"LIGHT",         "LIGHT MEDIUM",  "MEDIUM",
                                            "MEDIUM HEAVY",  "HEAVY",         "CAPSHIP-LIGHT",
                                            "CAPSHIP-HEAVY", "LIGHT SPECIAL", "SPECIAL-MISSILE"};

// A position: up to 20 metres either way for small units, more for large ones.
void position(ListWriter& list, UnitRow& row) {
  const std::int64_t reach = 2000 * std::min<std::int64_t>(row.profile.scale, 40);
  for (int axis = 0; axis < 3; ++axis) list.fixed(row.random.between(-reach, reach), 2);
}

// Forward and up vectors: mostly along the axes, now and then tilted.
void orientation(ListWriter& list, UnitRow& row) {
  static constexpr int kForward[] = {0, 0, 1};
  static constexpr int kUp[] = {0, 1, 0};
  const bool tilted = row.random.percent(15);
  for (int v : kForward) list.fixed(tilted ? row.random.between(-100, 100) : v * 100, 2);
  for (int v : kUp) list.integer(v);
}

const Part& pick_part(UnitRow& row, const std::vector<int>& from) {
  const std::vector<int>& pool = from.empty() ? row.catalog.goods : from;
  return row.catalog.parts[pool[row.random.below(pool.size())]];
}

void upgrade_group(ListWriter& list, UnitRow& row) {
  list.text(pick_part(row, row.catalog.upgrades).file);
  list.integer(row.random.percent(70) ? -1 : row.random.between(0, 3));
  list.integer(row.random.percent(90) ? 0 : 1);
}

void sub_unit_group(ListWriter& list, UnitRow& row) {
  list.text(row.random.pick(kTurrets));
  position(list, row);
  orientation(list, row);
  list.fixed(row.random.between(-100, 100), 2);
}

void light_group(ListWriter& list, UnitRow& row) {
  list.text(row.random.pick(kLightSprites));
  position(list, row);
  list.fixed(row.random.between(10, 300), 2);
  for (int channel = 0; channel < 4; ++channel) list.fixed(row.random.between(0, 100), 2);
  list.fixed(row.random.between(0, 500), 1);
}

void mount_group(ListWriter& list, UnitRow& row) {
  const bool armed = row.random.percent(80);
  list.text(armed ? std::string_view(pick_part(row, row.catalog.weapons).file) : "");
  list.integer(row.random.percent(70) ? -1 : row.random.between(2, 60));
  list.integer(row.random.percent(60) ? -1 : row.random.between(1, 20));
  list.text(row.random.pick(kMountSizes));
  position(list, row);
  list.fixed(row.random.between(50, 200), 2);
  list.fixed(row.random.between(50, 200), 2);
  orientation(list, row);
  list.integer(1);
  list.integer(1);
}

void dock_group(ListWriter& list, UnitRow& row) {
  list.flag(row.random.percent(70));
  position(list, row);
  list.fixed(row.random.between(100, 4000), 1);
  list.fixed(row.random.percent(50) ? 0 : row.random.between(10, 500), 1);
}

void import_group(ListWriter& list, UnitRow& row) {
  const auto& categories = row.catalog.import_categories;
  std::string_view category = categories[row.random.below(categories.size())];
  if (row.random.percent(10)) {
    // Categories are matched without regard to letter case.
    row.scratch.assign(category);
    for (char& c : row.scratch)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
    category = row.scratch;
  }
  list.text(category);
  list.fixed(row.random.between(50, 300), 2);
  list.fixed(row.random.between(0, 50), 2);
  list.integer(row.random.between(0, 500));
  list.integer(row.random.between(0, 50));
}

void cargo_group(ListWriter& list, UnitRow& row, bool quoted) {
  // Stations trade goods; ships carry anything.
  const Part& part = row.directory.kind == UnitKind::Base
                         ? pick_part(row, row.catalog.goods)
                         : row.catalog.parts[row.random.below(row.catalog.parts.size())];
  list.text(part.file);
  list.text(row.catalog.categories[part.category]);
  list.fixed(part.price * row.random.between(80, 120), 2);
  list.integer(row.random.between(0, 500));
  list.fixed(part.mass_centis, 2);
  list.fixed(part.volume_centis, 2);
  list.fixed(100, 2);
  list.fixed(100, 2);
  std::string_view description;
  if (row.random.percent(20)) {
    description = part.description;
    if (!quoted) description = description.substr(0, description.find(','));
  }
  list.text(description);
  const auto mission = row.random.below(20);
  list.text(mission < 14 ? "" : mission < 19 ? "0" : "1");
}

}  // namespace

const KindProfile& profile_for(UnitKind kind) {
  switch (kind) {
    case UnitKind::Fighter:
      return kFighter;
    case UnitKind::Capital:
      return kCapital;
    case UnitKind::Base:
      return kBase;
    case UnitKind::Equipment:
      return kEquipment;
  }
  return kFighter;
}

void write_group(ListKind kind, ListWriter& list, UnitRow& row, bool quoted) {
  list.open_group();
  switch (kind) {
    case ListKind::Upgrades:
      upgrade_group(list, row);
      break;
    case ListKind::SubUnits:
      sub_unit_group(list, row);
      break;
    case ListKind::Lights:
      light_group(list, row);
      break;
    case ListKind::Mounts:
      mount_group(list, row);
      break;
    case ListKind::Dock:
      dock_group(list, row);
      break;
    case ListKind::CargoImport:
      import_group(list, row);
      break;
    case ListKind::Cargo:
      cargo_group(list, row, quoted);
      break;
  }
  list.close_group();
}

}  // namespace unitcheck::gen
