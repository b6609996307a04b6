#pragma once

#include <array>
#include <string>
#include <string_view>

#include "driver/invocation.h"

namespace unitcheck {

class Console;

// The built-in places where the data directory may be installed, in the order they are tried.
inline constexpr std::array<std::string_view, 23> candidate_directories = {
    "./",
    "../",
    "../data4.x/",
    "../../data4.x/",
    "../data/",
    "../../data/",
    "../Resources/",
    "../Resources/data/",
    "/usr/share/local/orbitforge/data/",
    "/orbitforge/data/",
    "/usr/local/orbitforge/data/",
    "/usr/share/orbitforge/data/",
    "/usr/local/games/orbitforge/data/",
    "/usr/games/orbitforge/data/",
    "/opt/share/orbitforge/data/",
    "../Resources/data4.x/",
    "/usr/share/local/orbitforge/data4.x/",
    "/usr/local/share/orbitforge/data4.x/",
    "/usr/local/orbitforge/data4.x/",
    "/usr/share/orbitforge/data4.x/",
    "/usr/local/games/orbitforge/data4.x/",
    "/usr/games/orbitforge/data4.x/",
    "/opt/share/orbitforge/data4.x/",
};

// Every backslash becomes a slash.
std::string normalize_separators(std::string_view path);

// Tries the first argument, then HOME + "/data4.x/", then the built-in candidates, printing the
// search's lines, and returns the first that holds units/units.csv, ending with a slash (empty
// when none does). An empty first argument counts as no argument.
std::string find_data_directory(Console& console, const Invocation& invocation);

}  // namespace unitcheck
