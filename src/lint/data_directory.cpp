#include "lint/data_directory.h"

#include "lint/inside_directory.h"
#include "lint/lint_messages.h"
#include "platform/file_system.h"

namespace unitcheck::lint {

namespace {

std::string_view without_trailing_slashes(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  return path;
}

std::string_view last_component(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view parent(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return {};
  return slash == 0 ? path.substr(0, 1) : without_trailing_slashes(path.substr(0, slash));
}

// The directory as a prefix of the paths under it (see DataDirectory::prefix).
std::string prefix_of(std::string_view directory) {
  directory = without_trailing_slashes(directory);
  if (directory.empty() || directory == ".") return {};
  if (directory == "/") return "/";
  return std::string(directory) + "/";
}

// The data directory that the argument means, before its unit table is opened.
std::string meant_prefix(std::string_view argument) {
  const std::string_view path = without_trailing_slashes(argument);
  const std::string_view name = last_component(path);
  if (name == "units.csv" && last_component(parent(path)) == "units")
    return prefix_of(parent(parent(path)));
  const std::string prefix = prefix_of(path);
  // A units/ folder, unless the directory of that name is itself a data directory.
  if (name == "units" && !why_not_readable(prefix + "units/units.csv").empty() &&
      why_not_readable(prefix + "units.csv").empty())
    return prefix_of(parent(path));
  return prefix;
}

}  // namespace

DataDirectoryResult resolve_data_directory(std::string_view argument) {
  DataDirectoryResult result;
  result.directory.prefix = meant_prefix(path_from_user(argument));
  const std::string unit_table = result.directory.unit_table();
  const std::string reason = why_not_readable(unit_table);
  if (!reason.empty())
    result.error = "cannot read '" + without_controls(unit_table) + "': " + reason;
  return result;
}

std::string data_outside_directory(const DataDirectory& directory) {
  const std::string real_root = real_path(directory.root());
  for (const std::string& path : {directory.unit_table(), directory.part_list()}) {
    const std::string target = outside_target(real_root, path);
    if (target.empty()) continue;
    std::string reason = "'";
    reason.append(without_controls(path)).append("' leads outside the data directory (to '");
    reason.append(without_controls(target)).append("'); pass --follow-links to allow");
    return reason;
  }
  return {};
}

}  // namespace unitcheck::lint
