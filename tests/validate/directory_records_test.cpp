#include "validate/directory_records.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace unitcheck {
namespace {

// Records against a plain model, over enough directories to regrow the slots several times
// (and collide in them), meshes added until records move again and again and lists start
// afresh, and fetches of cells known and unknown in between: every record holds exactly the
// answers given since its list last started afresh.
TEST(DirectoryRecords, KeepsWhatItIsGivenAcrossMovesAndRegrowth) {
  constexpr std::uint32_t kMaxMeshes = 9;
  DirectoryRecords records;
  std::map<std::string, std::pair<bool, std::map<std::string, bool>>> model;
  std::mt19937 random(7);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  std::vector<std::string> directories = {"", "a", "a/", "a\\b", std::string(300, 'd')};
  for (int i = 0; i < 400; ++i) directories.push_back("dir" + std::to_string(i));

  for (int step = 0; step < 20000; ++step) {
    const std::string& directory = directories[pick(static_cast<int>(directories.size()))];
    const std::uint64_t hash = DirectoryRecords::hash(directory);
    records.fetch_slot(hash);
    records.fetch_record(DirectoryRecords::hash("elsewhere"));
    std::uint32_t record = records.find(directory, hash);
    auto known = model.find(directory);
    ASSERT_EQ(record == DirectoryRecords::kNone, known == model.end()) << directory;
    if (known == model.end()) {
      const bool exists = pick(2) == 0;
      record = records.add(directory, hash, exists);
      known = model.emplace(directory, std::make_pair(exists, std::map<std::string, bool>{})).first;
    }
    ASSERT_EQ(records.directory(record), directory);
    ASSERT_EQ(records.exists(record), known->second.first);
    auto& meshes = known->second.second;
    const std::string mesh =
        pick(5) == 0 ? std::string(pick(200), 'm') : std::to_string(pick(12)) + ".mesh";
    const int answer = records.mesh_answer(record, mesh);
    const auto kept = meshes.find(mesh);
    ASSERT_EQ(answer, kept == meshes.end() ? -1 : kept->second) << directory << " " << mesh;
    if (answer >= 0) continue;
    if (meshes.size() >= kMaxMeshes) meshes.clear();
    const bool exists = pick(3) == 0;
    records.add_mesh(record, mesh, exists, kMaxMeshes);
    meshes[mesh] = exists;
    ASSERT_EQ(records.find(directory, hash), record) << "the slot follows a moved record";
  }
  EXPECT_EQ(records.size(), model.size());
  records.clear();
  EXPECT_EQ(records.find("a", DirectoryRecords::hash("a")), DirectoryRecords::kNone);
  EXPECT_EQ(records.bytes(), 0u);
}

}  // namespace
}  // namespace unitcheck
