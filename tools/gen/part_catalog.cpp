#include "gen/part_catalog.h"

#include <string_view>

namespace unitcheck::gen {

namespace {

struct CategoryDef {
  std::string_view name;
  std::string_view stem;  // part names start with it
  PartUse use;
  std::int64_t base_price;
};

constexpr CategoryDef kCategories[] = {
    {"Weapons/Guns/Laser", "laser", PartUse::Weapon, 9000},
    {"Weapons/Guns/Plasma", "plasma", PartUse::Weapon, 21000},
    {"Weapons/Guns/Mass_Driver", "massdriver", PartUse::Weapon, 14000},
    {"Weapons/Guns/Particle", "particle", PartUse::Weapon, 40000},
    {"Weapons/Missiles/Heat_Seeking", "heatseeker", PartUse::Weapon, 2500},
    {"Weapons/Missiles/Image_Lock", "imagelock", PartUse::Weapon, 4000},
    {"Weapons/Torpedoes", "torpedo", PartUse::Weapon, 30000},
    {"Upgrades/Shields/Generators", "shieldgen", PartUse::Upgrade, 35000},
    {"Upgrades/Shields/Regenerators", "regen", PartUse::Upgrade, 18000},
    {"Upgrades/Armor", "armor", PartUse::Upgrade, 12000},
    {"Upgrades/Reactors", "reactor", PartUse::Upgrade, 50000},
    {"Upgrades/Capacitors", "capacitor", PartUse::Upgrade, 15000},
    {"Upgrades/Sensors/Radar", "radar", PartUse::Upgrade, 8000},
    {"Upgrades/Sensors/Jammers", "jammer", PartUse::Upgrade, 26000},
    {"Upgrades/Engines/Afterburners", "afterburner", PartUse::Upgrade, 20000},
    {"Upgrades/Repair_Systems", "repairbot", PartUse::Upgrade, 60000},
    {"Commodities/Food/Grain", "grain", PartUse::Goods, 40},
    {"Commodities/Food/Protein", "protein", PartUse::Goods, 90},
    {"Commodities/Minerals/Ore", "ore", PartUse::Goods, 25},
    {"Commodities/Minerals/Crystals", "crystal", PartUse::Goods, 700},
    {"Commodities/Industrial/Alloys", "alloy", PartUse::Goods, 300},
    {"Commodities/Industrial/Machinery", "machinery", PartUse::Goods, 1200},
    {"Commodities/Medical", "medicine", PartUse::Goods, 800},
    {"Commodities/Luxury/Spirits", "spirits", PartUse::Goods, 450},
    {"Commodities/Luxury/Art", "artwork", PartUse::Goods, 5000},
    {"Commodities/Electronics", "circuit", PartUse::Goods, 600},
    {"Passengers/Tourists", "tourist", PartUse::Goods, 150},
    {"Passengers/Workers", "worker", PartUse::Goods, 80},
    {"Contraband/Narcotics", "narcotic", PartUse::Goods, 2200},
    {"Contraband/Arms", "smuggled_arms", PartUse::Goods, 3500},
    {"Fuel/Hydrogen", "hydrogen", PartUse::Goods, 12},
    {"Fuel/Antimatter", "antimatter", PartUse::Goods, 9000},
};

constexpr std::string_view kGrades[] = {"", "_mk2", "_mk3", "_light", "_heavy", "_civ"};
constexpr std::string_view kQualities[] = {"Standard",  "Military grade", "Refurbished",
                                           "Prototype", "Bulk",           "Certified"};
constexpr std::string_view kClauses[] = {"",
                                         "",
                                         ", sealed for transport",
                                         ", rated for long hauls",
                                         ", fits light and medium mounts",
                                         ", sold by the crate",
                                         ", not for resale"};

void add_import_category(PartCatalog& catalog, std::string_view name) {
  for (const std::string& known : catalog.import_categories)
    if (known == name) return;
  catalog.import_categories.emplace_back(name);
}

// The category itself and each prefix that ends before one of its slashes.
void add_import_categories(PartCatalog& catalog, std::string_view name) {
  for (std::size_t slash = name.find('/'); slash != std::string_view::npos;
       slash = name.find('/', slash + 1))
    add_import_category(catalog, name.substr(0, slash));
  add_import_category(catalog, name);
}

Part make_part(Random& random, int index, int category) {
  const CategoryDef& def = kCategories[category];
  Part part;
  part.file =
      std::string(def.stem) + std::string(random.pick(kGrades)) + "_" + std::to_string(index);
  part.category = category;
  part.price = def.base_price / 2 + random.between(0, def.base_price);
  part.mass_centis = def.use == PartUse::Goods ? 100 : random.between(10, 2000) * 10;
  part.volume_centis = def.use == PartUse::Goods ? 100 : random.between(5, 400) * 10;
  part.description = std::string(random.pick(kQualities)) + " " + std::string(def.stem) +
                     std::string(random.pick(kClauses));
  for (char& c : part.description)
    if (c == '_') c = ' ';
  return part;
}

}  // namespace

int minimum_part_count() {
  return static_cast<int>(std::size(kCategories));
}

PartCatalog build_part_catalog(Random& random, int part_count) {
  PartCatalog catalog;
  for (const CategoryDef& def : kCategories) {
    catalog.categories.emplace_back(def.name);
    catalog.category_uses.push_back(def.use);
    add_import_categories(catalog, def.name);
  }
  const int category_count = minimum_part_count();
  catalog.parts.reserve(static_cast<std::size_t>(part_count));
  for (int i = 0; i < part_count; ++i) {
    // Every category gets a part first; the rest fall anywhere.
    const int category = i < category_count ? i : static_cast<int>(random.below(category_count));
    catalog.parts.push_back(make_part(random, i, category));
    switch (kCategories[category].use) {
      case PartUse::Weapon:
        catalog.weapons.push_back(i);
        break;
      case PartUse::Upgrade:
        catalog.upgrades.push_back(i);
        break;
      case PartUse::Goods:
        catalog.goods.push_back(i);
        break;
    }
  }
  return catalog;
}

void write_part_list(const PartCatalog& catalog, OutputBuffer& out) {
  out.put("file,categoryname,price,mass,volume,description\n");
  for (const Part& part : catalog.parts) {
    out.put(part.file);
    out.put(',');
    out.put(catalog.categories[part.category]);
    out.put(',');
    out.put_int(part.price);
    out.put(',');
    out.put_fixed(part.mass_centis, 2);
    out.put(',');
    out.put_fixed(part.volume_centis, 2);
    out.put(",\"");
    out.put(part.description);
    out.put("\"\n");
  }
}

}  // namespace unitcheck::gen
