#include "support/temp_dir.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace unitcheck::testing {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "unitcheck-test.XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void TempDir::write(std::string_view relative, std::string_view content) const {
  const std::filesystem::path file = path_ / relative;
  std::filesystem::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

void TempDir::make_directory(std::string_view relative) const {
  std::filesystem::create_directories(path_ / relative);
}

}  // namespace unitcheck::testing
