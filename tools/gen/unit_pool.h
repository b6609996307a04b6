#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "gen/random.h"

namespace unitcheck::gen {

enum class UnitKind { Fighter, Capital, Base, Equipment };

// A unit directory below units/, shared by every row that names it.
struct UnitDirectory {
  std::string path;     // relative to units/, parts joined by '/'
  std::string stem;     // the last part; its mesh files are named after it
  std::string display;  // the unit's name as players see it
  UnitKind kind;
};

struct UnitPool {
  std::vector<UnitDirectory> directories;
  std::vector<std::string> cockpits;  // names below cockpits/, at most 15 bytes
};

// The files each unit directory holds: its stem followed by one of these.
inline constexpr std::string_view kUnitFileSuffixes[] = {".mesh", "-shield.mesh", "-hud.sprite"};
// The files of meshes/, which any unit may name.
inline constexpr std::string_view kSharedMeshes[] = {
    "rapid-box.mesh",   "rapid-hull.mesh",    "bsp-generic.mesh", "shield-bubble.mesh",
    "shield-dome.mesh", "hud-generic.sprite", "cargo-pod.mesh",   "debris.mesh",
};

// directory_count distinct unit directories of mixed kinds, and the cockpits.
UnitPool build_unit_pool(Random& random, int directory_count);

// Creates every unit directory with its files, the cockpit directories and meshes/ under out.
void create_data_tree(const std::filesystem::path& out, const UnitPool& pool);

}  // namespace unitcheck::gen
