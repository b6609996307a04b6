#include "validate/row_file_tests.h"

#include <cstring>

#include "platform/file_system.h"
#include "validate/cached_file_tests.h"

namespace unitcheck {

namespace {

// Past this many meshes a directory's list starts afresh: a list is searched from its start.
constexpr std::uint32_t kMeshesPerDirectory = 64;
// Longer names are not kept in the lists (no file system has such names, and they would hold
// memory): they go to the shared cache each time.
constexpr std::size_t kLongestListedName = 4096;

// Sets path to the three pieces one after another, reusing its memory.
void build_path(std::string& path, std::string_view base, std::string_view middle,
                std::string_view name) {
  path.assign(base);
  path.append(middle);
  path.append(name);
}

// The answer remembered for file in a directory's list, or null.
const char* find_mesh(const std::string& meshes, std::string_view file) {
  const char* p = meshes.data();
  const char* const end = p + meshes.size();
  while (p != end) {
    std::uint32_t size;
    std::memcpy(&size, p + 1, sizeof size);
    const char* const name = p + 1 + sizeof size;
    // Compared as views: a Mesh cell without a delimiter names an empty file, whose view has
    // no bytes at all to hand to memcmp.
    if (std::string_view(name, size) == file) return p;
    p = name + size;
  }
  return nullptr;
}

void add_mesh(std::string& meshes, std::string_view file, bool answer) {
  const auto size = static_cast<std::uint32_t>(file.size());
  char head[1 + sizeof size] = {answer ? '\1' : '\0'};
  std::memcpy(head + 1, &size, sizeof size);
  meshes.append(head, sizeof head);
  meshes.append(file);
}

}  // namespace

RowFileTests::RowFileTests(std::string_view data_directory, CachedFileTests& shared,
                           std::size_t max_entries)
    : data_directory_(data_directory), shared_(shared), max_entries_(max_entries) {}

RowFileTests::UnitDirectory RowFileTests::unit_directory(std::string_view directory) {
  if (const std::uint32_t* index = directory_index_.find(directory))
    return UnitDirectory{directories_[*index].exists, *index};
  // Starting afresh only here keeps every handle given out for the line being checked valid.
  if (directories_.size() >= max_entries_ || mesh_count_ >= max_entries_) {
    directory_index_.clear();
    directories_.clear();
    mesh_count_ = 0;
  }
  build_path(path_, data_directory_, "units/", directory);
  convert_separators(path_);
  const bool exists = shared_.is_directory(path_);
  const auto index = static_cast<std::uint32_t>(directories_.size());
  directories_.push_back(DirectoryAnswers{path_, exists, {}, 0});
  directory_index_.insert(directory, index);
  return UnitDirectory{exists, index};
}

bool RowFileTests::mesh_exists(UnitDirectory directory, std::string_view file) {
  DirectoryAnswers& answers = directories_[directory.index];
  if (const char* found = find_mesh(answers.meshes, file)) return *found != '\0';
  // The unit's directory as its own test named it, then the shared folder.
  build_path(path_, answers.directory, "/", file);
  convert_separators(path_);
  bool answer = shared_.exists(path_);
  if (!answer) {
    build_path(path_, data_directory_, "meshes/", file);
    convert_separators(path_);
    answer = shared_.exists(path_);
  }
  if (file.size() > kLongestListedName) return answer;
  if (answers.mesh_count >= kMeshesPerDirectory) {
    mesh_count_ -= answers.mesh_count;
    answers.meshes.clear();
    answers.mesh_count = 0;
  }
  add_mesh(answers.meshes, file, answer);
  ++answers.mesh_count;
  ++mesh_count_;
  return answer;
}

bool RowFileTests::cockpit_exists(std::string_view cockpit) {
  if (const bool* answer = cockpits_.find(cockpit)) return *answer;
  // Cockpit paths keep their backslashes, as they always have.
  build_path(path_, data_directory_, "cockpits/", cockpit);
  const bool answer = shared_.is_directory(path_);
  if (cockpits_.size() >= max_entries_) cockpits_.clear();
  cockpits_.insert(cockpit, answer);
  return answer;
}

}  // namespace unitcheck
