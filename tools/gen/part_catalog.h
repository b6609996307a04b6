#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gen/output_buffer.h"
#include "gen/random.h"

namespace unitcheck::gen {

// What a part is used for in the unit table.
enum class PartUse { Weapon, Upgrade, Goods };

struct Part {
  std::string file;  // unique, at most 30 bytes
  int category;      // index into PartCatalog::categories
  std::int64_t price;
  std::int64_t mass_centis;    // hundredths
  std::int64_t volume_centis;  // hundredths
  std::string description;     // blanks and commas, no quotes
};

struct PartCatalog {
  std::vector<std::string> categories;         // every categoryname of the list, once each
  std::vector<PartUse> category_uses;          // parallel to categories
  std::vector<std::string> import_categories;  // the categories and every prefix before a slash
  std::vector<Part> parts;
  std::vector<int> weapons;  // indexes into parts, by use
  std::vector<int> upgrades;
  std::vector<int> goods;
};

// The least part count: one part per category.
int minimum_part_count();

// A part list of part_count parts over slash-nested categories.
PartCatalog build_part_catalog(Random& random, int part_count);

// master_part_list.csv: a header line, then one line per part, descriptions quoted.
void write_part_list(const PartCatalog& catalog, OutputBuffer& out);

}  // namespace unitcheck::gen
