#pragma once

// What the whole-run fuzz targets share: the data directory they check, created once per process
// with a unit directory, a mesh and a cockpit for the on-disk checks to find (only the two data
// files are rewritten per input), and the lines of a report.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace unitcheck::fuzz {

inline void require(bool condition) {
  if (!condition) __builtin_trap();
}

// The data directory of this process, removed when the process exits normally.
class DataDirectory {
 public:
  DataDirectory() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "unitcheck-whole-run.XXXXXX").string();
    require(mkdtemp(pattern.data()) != nullptr);
    root_ = pattern;
    std::filesystem::create_directories(root_ / "units" / "ship");
    std::filesystem::create_directories(root_ / "cockpits" / "pit");
    std::filesystem::create_directories(root_ / "meshes");
    std::ofstream(root_ / "meshes" / "hull.mesh").put('\n');
    std::ofstream(root_ / "units" / "ship" / "ship.mesh").put('\n');
    argument_ = root_.string() + "/";
  }
  DataDirectory(const DataDirectory&) = delete;
  DataDirectory& operator=(const DataDirectory&) = delete;
  ~DataDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }

  // The directory as the first argument names it, ending in a slash.
  const std::string& argument() const { return argument_; }

  void write(const char* relative, std::string_view content) const {
    std::ofstream out(root_ / relative, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.close();
    require(!out.fail());
  }

 private:
  std::filesystem::path root_;
  std::string argument_;
};

// Writes the input's files: the bytes before the first 0xFF byte become master_part_list.csv,
// the bytes after it units/units.csv (with no 0xFF byte, the part list is empty and every byte
// goes to the unit table).
inline void write_data_files(const DataDirectory& directory, std::string_view input) {
  const std::size_t split = input.find('\xFF');
  const bool has_part_list = split != std::string_view::npos;
  directory.write("master_part_list.csv", has_part_list ? input.substr(0, split) : "");
  directory.write("units/units.csv", has_part_list ? input.substr(split + 1) : input);
}

// The lines of a report, each ended by a line feed.
inline std::vector<std::string_view> split_lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    require(end != std::string_view::npos);  // every line ends with a line feed
    lines.push_back(text.substr(0, end));
    text.remove_prefix(end + 1);
  }
  return lines;
}

}  // namespace unitcheck::fuzz
