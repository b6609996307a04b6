#include "server/changed_paths.h"

#include <algorithm>

#include "platform/file_system.h"

namespace unitcheck::server {
namespace {

// The path lexically normal, without a last slash.
std::string normal_path(std::string_view path) {
  std::string normal = lexically_normal_path(path);
  while (normal.size() > 1 && normal.back() == '/') normal.pop_back();
  return normal;
}

}  // namespace

// A unit line's checks test paths built from its own cells (backslashes made slashes) under
// units/, cockpits/ and meshes/: units/<Directory>, units/<Directory>/<mesh>, meshes/<mesh>,
// cockpits/<Cockpit>. A changed entry can change an answer only for a path that names it or
// passes through it, and then the entry's last name is a whole piece of the cell, hence of the
// line's text: units/Llama.begin/hull.bfxm made on disk changes nothing for a line that holds
// neither "hull.bfxm" nor "Llama.begin". What no cell names is judged whole: the three folders
// and the directory itself (every path passes through them), the part list, and a symbolic
// link, which may lead a cell's path elsewhere under any name. The words of a missing file's
// finding come from the folders' listings, which any change may alter: those lines are checked
// again by the caller too.
PathsToRecheck paths_to_recheck(std::span<const std::string> paths, std::string_view root) {
  PathsToRecheck out;
  const std::string normal_root = normal_path(root);
  for (const std::string& path : paths) {
    const std::string normal = normal_path(path);
    const bool inside = normal.size() > normal_root.size() && normal.starts_with(normal_root) &&
                        normal[normal_root.size()] == '/';
    if (!inside) {
      out.whole = true;
      continue;
    }
    const std::string_view relative = std::string_view(normal).substr(normal_root.size() + 1);
    if (relative == "units" || relative == "cockpits" || relative == "meshes" ||
        relative == "master_part_list.csv" || link_state(normal) == LinkState::Link) {
      out.whole = true;
      continue;
    }
    std::string name(relative.substr(relative.rfind('/') + 1));
    if (std::find(out.names.begin(), out.names.end(), name) == out.names.end())
      out.names.push_back(std::move(name));
  }
  if (out.whole) out.names.clear();
  return out;
}

bool names_any(std::string_view line, std::span<const std::string> names) {
  return std::any_of(names.begin(), names.end(),
                     [&](const std::string& name) { return line.find(name) != line.npos; });
}

}  // namespace unitcheck::server
