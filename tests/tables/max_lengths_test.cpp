#include "tables/max_lengths.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/console.h"

namespace unitcheck {
namespace {

std::string report(const MaxLengths& max_lengths) {
  std::string out;
  Console console(out);
  print_max_field_lengths(max_lengths, console);
  return out;
}

TEST(MaxLengths, EmptyReportIsTheHeadingOnly) {
  EXPECT_EQ(report(MaxLengths{}), "Max Fieldlengths (Str only)\n---------------------------\n");
}

TEST(MaxLengths, KeepsTheLongestAndSortsByBytes) {
  MaxLengths lengths;
  const std::pair<const char*, int> recorded[] = {
      {"units.Name", 3},        {"units.Name", 12},
      {"units.Name", 7},        {"cargo.filename", 4},
      {"units.Shield_Mesh", 9}, {"units.STATUS", 2},
      {"units.Hud_image", 1},   {"units.Hud_Functionality", 5},
      {"cargo_import.Cat", 6},  {"units.index", 8},
      {"units.Index", 0},       {"mounts.type", 0},
  };
  for (const auto& [key, length] : recorded) lengths.update_max_length(key, length);
  EXPECT_EQ(report(lengths),
            "Max Fieldlengths (Str only)\n---------------------------\n"
            "cargo.filename: 4\n"
            "cargo_import.Cat: 6\n"
            "mounts.type: 0\n"
            "units.Hud_Functionality: 5\n"
            "units.Hud_image: 1\n"
            "units.Index: 0\n"
            "units.Name: 12\n"
            "units.STATUS: 2\n"
            "units.Shield_Mesh: 9\n"
            "units.index: 8\n");
}

TEST(MaxLengths, BytesAboveAsciiSortLast) {
  MaxLengths lengths;
  lengths.update_max_length("units.\xE9", 1);
  lengths.update_max_length("units.z", 2);
  lengths.update_max_length("units", 3);
  ASSERT_EQ(lengths.entries().size(), 3u);
  EXPECT_EQ(lengths.entries()[0].key, "units");
  EXPECT_EQ(lengths.entries()[1].key, "units.z");
  EXPECT_EQ(lengths.entries()[2].key, "units.\xE9");
  EXPECT_EQ(lengths.find_key("units.z", 0, 2), 1u);
  EXPECT_FALSE(lengths.find_key("units.y", 0, 2));
}

}  // namespace
}  // namespace unitcheck
