#include "gen/unit_pool.h"

#include <fstream>
#include <stdexcept>

namespace unitcheck::gen {

namespace {

constexpr std::string_view kSyllables[] = {"ka",   "ves", "tor", "ran", "mi", "del", "or", "sa",
                                           "quin", "thu", "bel", "ix",  "no", "par", "ea", "lun"};
constexpr int kSyllableCount = 16;

// Three syllables spelled from the digits of index in base 16: distinct for distinct indexes
// below 4096; a number keeps larger indexes distinct too.
std::string stem_for(int index) {
  std::string stem;
  for (int digit = 0, rest = index; digit < 3; ++digit, rest /= kSyllableCount)
    stem += kSyllables[rest % kSyllableCount];
  if (index >= kSyllableCount * kSyllableCount * kSyllableCount) stem += std::to_string(index);
  return stem;
}

std::string display_for(std::string_view stem) {
  std::string display(stem);
  if (!display.empty() && display[0] >= 'a' && display[0] <= 'z') display[0] -= 'a' - 'A';
  return display;
}

UnitKind pick_kind(Random& random) {
  const auto roll = random.below(100);
  if (roll < 52) return UnitKind::Fighter;
  if (roll < 66) return UnitKind::Capital;
  if (roll < 70) return UnitKind::Base;
  return UnitKind::Equipment;
}

std::string path_for(UnitKind kind, const std::string& stem) {
  switch (kind) {
    case UnitKind::Base:
      return "stations/" + stem;
    case UnitKind::Equipment:
      return "equipment/" + stem;
    default:
      return stem;
  }
}

void touch(const std::filesystem::path& file) {
  std::ofstream out(file, std::ios::binary);
  out << "generated placeholder\n";
  if (!out) throw std::runtime_error("cannot create " + file.string());
}

}  // namespace

UnitPool build_unit_pool(Random& random, int directory_count) {
  UnitPool pool;
  pool.directories.reserve(static_cast<std::size_t>(directory_count));
  for (int i = 0; i < directory_count; ++i) {
    const UnitKind kind = pick_kind(random);
    std::string stem = stem_for(i);
    pool.directories.push_back({path_for(kind, stem), stem, display_for(stem), kind});
  }
  for (int i = 0; i < 24; ++i) pool.cockpits.push_back("cp-" + stem_for(i * 37 + 5));
  return pool;
}

void create_data_tree(const std::filesystem::path& out, const UnitPool& pool) {
  for (const UnitDirectory& directory : pool.directories) {
    const std::filesystem::path folder = out / "units" / directory.path;
    std::filesystem::create_directories(folder);
    for (std::string_view suffix : kUnitFileSuffixes)
      touch(folder / (directory.stem + std::string(suffix)));
  }
  for (const std::string& cockpit : pool.cockpits)
    std::filesystem::create_directories(out / "cockpits" / cockpit);
  std::filesystem::create_directories(out / "meshes");
  for (std::string_view mesh : kSharedMeshes) touch(out / "meshes" / mesh);
}

}  // namespace unitcheck::gen
