#include "validate/row_file_tests.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/file_system.h"
#include "support/temp_dir.h"
#include "validate/cached_file_tests.h"

namespace unitcheck {
namespace {

using testing::TempDir;

// Every answer, asked again and again in an order that revisits directories, mixes meshes of
// several directories and overflows the per-directory lists and a small bound, with look aheads
// at the cells two lookups on (as the row checks make them) and at others, is the answer of the
// test made on the path the row checks name; a missing mesh's folder is the directory's path.
TEST(RowFileTests, AnswersAsTheFileSystemDoes) {
  TempDir data;
  data.make_directory("units/alpha");
  data.make_directory("units/be/ta");
  data.make_directory("cockpits/cp-one");
  data.make_directory("cockpits/cp\\two");  // a backslash in the name: cockpits keep theirs
  data.write("units/alpha/hull.mesh", "");
  data.write("units/be/ta/shield.mesh", "");
  data.write("meshes/shared.mesh", "");
  data.write("units/alpha/only-alpha.mesh", "");
  std::vector<std::string> meshes = {"hull.mesh",        "shield.mesh",         "shared.mesh",
                                     "only-alpha.mesh",  "none.mesh",           "",
                                     "sub\\shared.mesh", std::string(5000, 'm')};
  for (int i = 0; i < 70; ++i) {
    meshes.push_back("extra" + std::to_string(i) + ".mesh");
    if (i % 3 == 0) data.write("units/alpha/extra" + std::to_string(i) + ".mesh", "");
  }
  // The last is longer than any file system's path: it is tested, not kept.
  const std::vector<std::string> directories = {
      "alpha", "be\\ta", "be/ta", "missing", "alpha/", "alpha" + std::string(4100, '/')};
  const std::string root = data / "";
  CachedFileTests shared(8);
  RowFileTests tests(root, shared, 16);

  for (int round = 0; round < 3; ++round) {
    for (const std::string cockpit : {"cp-one", "cp\\two", "cp/two"})
      EXPECT_EQ(tests.cockpit_exists(cockpit), is_directory(root + "cockpits/" + cockpit));
    for (std::size_t d = 0; d < directories.size(); ++d) {
      const std::string& directory = directories[(d + round) % directories.size()];
      tests.look_ahead(d % 2 == 0 ? directories[(d + round + 2) % directories.size()] : "other");
      std::string directory_path = root + "units/" + directory;
      convert_separators(directory_path);
      RowFileTests::UnitDirectory found = tests.unit_directory(directory);
      ASSERT_EQ(found.exists, is_directory(directory_path)) << directory;
      // The row checks look for meshes only in a directory that exists; the answers hold for
      // any.
      for (std::size_t m = 0; m < meshes.size(); m += 1 + round) {
        const std::string& mesh = meshes[m];
        std::string in_unit = directory_path + "/" + mesh;
        std::string in_shared = root + "meshes/" + mesh;
        convert_separators(in_unit);
        convert_separators(in_shared);
        const bool answer = exists(in_unit) || exists(in_shared);
        EXPECT_EQ(tests.mesh_exists(found, mesh), answer) << directory << " " << mesh.substr(0, 20);
        if (!answer) {
          EXPECT_EQ(tests.directory_path(found), directory_path);
        }
      }
      // A Mesh cell without a delimiter names an empty file: a view without bytes, which the
      // tests name as the folders themselves.
      EXPECT_EQ(tests.mesh_exists(found, std::string_view{}),
                exists(directory_path + "/") || exists(root + "meshes/"));
    }
  }
}

}  // namespace
}  // namespace unitcheck
