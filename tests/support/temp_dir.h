#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace unitcheck::testing {

// A fresh directory under the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir();

  const std::filesystem::path& path() const { return path_; }
  // The path of relative inside the directory, as text ending in a slash when it is a folder.
  std::string operator/(std::string_view relative) const { return (path_ / relative).string(); }
  // Writes content to relative, creating the folders on the way.
  void write(std::string_view relative, std::string_view content) const;
  void make_directory(std::string_view relative) const;

 private:
  std::filesystem::path path_;
};

}  // namespace unitcheck::testing
