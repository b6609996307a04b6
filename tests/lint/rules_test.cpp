// The rule table: each finding and header problem has its one rule, and the helps say what the
// schema says.
#include "lint/rules.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "tables/schemas.h"

namespace unitcheck::lint {
namespace {

TEST(Rules, EachFindingAndHeaderProblemIsReportedUnderTheRuleThatSaysSo) {
  for (int i = 0; i < kFindingKinds; ++i) {
    const auto kind = static_cast<FindingKind>(i);
    const RuleSource source = rule_info(rule_for(kind)).source;
    EXPECT_EQ(source.of, RuleSource::Of::Finding) << i;
    EXPECT_EQ(source.index, i);
  }
  for (int i = 0; i < kHeaderProblems; ++i) {
    const RuleSource source = rule_info(rule_for(static_cast<HeaderProblem>(i))).source;
    EXPECT_EQ(source.of, RuleSource::Of::Header) << i;
    EXPECT_EQ(source.index, i);
  }
  // The indexes of a SARIF log's rules stay those of the first rules.
  EXPECT_EQ(rule_for(FindingKind::TextTooLong), Rule::TextTooLong);
  EXPECT_EQ(rule_for(FindingKind::NotFloat), Rule::FloatCharacters);
  EXPECT_EQ(rule_for(FindingKind::UnclosedLastGroup), Rule::NestedUnclosedLastGroup);
  EXPECT_EQ(rule_for(FindingKind::EmptyKey), Rule::EmptyKey);
  EXPECT_EQ(rule_for(HeaderProblem::NearMiss), Rule::UnknownColumnNearMiss);
  EXPECT_EQ(rule_info(Rule::NoUnitsChecked).source.of, RuleSource::Of::Run);
  std::set<std::string_view> ids;
  for (const RuleInfo& info : all_rules()) EXPECT_TRUE(ids.insert(info.id).second) << info.id;
}

// The columns a help lists before its first " name": "A, B and C name ...".
std::set<std::string> listed_columns(std::string_view help) {
  std::set<std::string> columns;
  std::string_view list = help.substr(0, help.find(" name"));
  while (!list.empty()) {
    const std::size_t end = std::min(list.find(", "), list.find(" and "));
    columns.emplace(list.substr(0, end));
    if (end == std::string_view::npos) break;
    list.remove_prefix(end + (list.substr(end).starts_with(", ") ? 2 : 5));
  }
  return columns;
}

std::set<std::string> columns_of_roles(std::initializer_list<ColumnRole> roles) {
  std::set<std::string> columns;
  for (const ColumnSchema& column : unit_columns())
    if (std::find(roles.begin(), roles.end(), column.role) != roles.end())
      columns.emplace(column.name);
  return columns;
}

TEST(Rules, HelpsNameTheSchemasColumnsAndCountThem) {
  using enum ColumnRole;
  EXPECT_EQ(listed_columns(rule_info(Rule::MeshMissing).help), columns_of_roles({Mesh, MeshFile}));
  EXPECT_EQ(listed_columns(rule_info(Rule::PathOutsideData).help),
            columns_of_roles({Directory, Cockpit, Mesh, MeshFile}));
  std::string count = std::to_string(kUnitColumnCount);
  count.insert(count.begin(), '(');
  count.push_back(')');
  EXPECT_NE(rule_info(Rule::TooManyCells).help.find(count), std::string_view::npos);
  EXPECT_NE(rule_info(Rule::TooFewCells).help.find(count), std::string_view::npos);
  EXPECT_TRUE(rule_info(Rule::TooFewCells).help.ends_with("joined cells."));
}

}  // namespace
}  // namespace unitcheck::lint
