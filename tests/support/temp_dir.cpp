#include "support/temp_dir.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <stdexcept>

namespace unitcheck::testing {

TempDir::TempDir() {
  // create_directory makes the folder or finds it there, at once: a name another run took is
  // passed over. (mkdtemp is POSIX's; this is the same on every system.)
  std::random_device random;
  for (int tries = 0; tries < 100; ++tries) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("unitcheck-test." + std::to_string(random()));
    if (std::filesystem::create_directory(path)) {
      path_ = path;
      return;
    }
  }
  throw std::runtime_error("no temporary folder could be made");
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
