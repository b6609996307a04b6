#include "server/file_uri.h"

#include <gtest/gtest.h>

#include "server/document_role.h"

namespace unitcheck::server {
namespace {

TEST(FileUri, NamesAnAbsolutePathOrIsRefused) {
  const struct {
    std::string_view uri;
    std::optional<std::string> path;
  } cases[] = {
      {"file:///home/m/data/units/units.csv", "/home/m/data/units/units.csv"},
      {"file://localhost/a%20b/%C3%A9.csv", "/a b/\xc3\xa9.csv"},
      {"FILE:///x%2Cy", "/x,y"},
      {"file:///mods/my mod/\xc3\xa9t\xc3\xa9/units/units.csv",
       "/mods/my mod/\xc3\xa9t\xc3\xa9/units/units.csv"},
      {"file:///x%2fy", std::nullopt},
      {"file:///units%2Funits.csv", std::nullopt},
      {"file:///", "/"},
      {"http://example.com/units.csv", std::nullopt},
      {"file://server/share/units.csv", std::nullopt},
      {"file://localhostile/units.csv", std::nullopt},
      {"file:relative/units.csv", std::nullopt},
      {"file:///a/../etc/passwd", std::nullopt},
      {"file:///a/%2e%2e/etc", std::nullopt},
      {"file:///a/%2E%2E", std::nullopt},
      {"file:///a/./b", std::nullopt},
      {"file:///a%00b", std::nullopt},
      {"file:///a%1b[31m", std::nullopt},
      {"file:///a\nb", std::nullopt},
      {"file:///a%", std::nullopt},
      {"file:///a%4", std::nullopt},
      {"file:///a%zz", std::nullopt},
      {"file:///a?query", std::nullopt},
      {"file:///a#part", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(path_from_file_uri(c.uri), c.path) << c.uri;
}

TEST(FileUri, PathsComeBackAsTheyWent) {
  for (const std::string path : {"/data/units/units.csv", "/a b/\xc3\xa9%/#?x", "/~_-.x"}) {
    const std::string uri = file_uri_from_path(path);
    EXPECT_EQ(path_from_file_uri(uri), path);
  }
  EXPECT_EQ(file_uri_from_path("/a b/\xc3\xa9"), "file:///a%20b/%C3%A9");
}

TEST(DocumentRole, UnitTablesAndPartListsByTheirPlace) {
  const struct {
    std::string_view path;
    DocumentRole role;
    std::string_view directory;
  } cases[] = {
      {"/mod/units/units.csv", DocumentRole::UnitTable, "/mod"},
      {"/units/units.csv", DocumentRole::UnitTable, "/"},
      {"/mod/master_part_list.csv", DocumentRole::PartList, "/mod"},
      {"/master_part_list.csv", DocumentRole::PartList, "/"},
      {"/mod/units.csv", DocumentRole::Other, ""},
      {"/mod/myunits/units.csv", DocumentRole::Other, ""},
      {"/mod/units/units.csv.bak", DocumentRole::Other, ""},
      {"units/units.csv", DocumentRole::Other, ""},
  };
  for (const auto& c : cases) {
    const DocumentPlace place = place_of_path(c.path);
    EXPECT_EQ(place.role, c.role) << c.path;
    EXPECT_EQ(place.data_directory, c.directory) << c.path;
  }
}

}  // namespace
}  // namespace unitcheck::server
