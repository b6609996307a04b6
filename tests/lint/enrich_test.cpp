#include "lint/enrich.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lint/github_format.h"
#include "lint/item_marks.h"
#include "lint/lint_messages.h"
#include "support/lint_fixture.h"

namespace unitcheck::lint {
namespace {

// Answers every question with a name of its own making and keeps the questions asked.
struct AskedSource final : SuggestionSource {
  std::string answer(std::string question) const {
    asked.push_back(question);
    return question + "!";
  }
  std::string unit_directory(std::string_view value) const override {
    return answer("directory " + std::string(value));
  }
  std::string cockpit(std::string_view value) const override {
    return answer("cockpit " + std::string(value));
  }
  std::string mesh(std::string_view value, std::string_view folder) const override {
    return answer("mesh " + std::string(value) + " in " + std::string(folder));
  }
  std::string category(std::string_view value) const override {
    return category_answers ? answer("category " + std::string(value)) : std::string();
  }
  std::string part_name(std::string_view value) const override {
    return answer("part " + std::string(value));
  }
  bool category_answers = true;
  mutable std::vector<std::string> asked;
};

// Each kind that names something missing asks the source its one question, with the value (and
// the folder searched, for a mesh), and its fix puts the answer over the value's bytes; the
// words then say it. The kinds that need no names ask nothing.
TEST(Enrich, SuggestionsComeFromTheSourceAndTheirFixReplacesTheValue) {
  AskedSource source;
  std::vector<Finding> findings = testing::sample_findings();
  findings[3].folder = "units/talon";
  const struct {
    std::size_t finding;
    std::string asked, replacement;
  } cases[] = {
      {1, "directory hornett", "directory hornett!"},
      {2, "cockpit fighter-cockpt", "cockpit fighter-cockpt!"},
      {3, "mesh talon-shield.mesh in units/talon", "mesh talon-shield.mesh in units/talon!"},
      {4, "", "false"},
      {14, "category Raw_Materials/Metal", "category Raw_Materials/Metal!"},
      {15, "category Equipment/Mining", "category Equipment/Mining!"},
      {16, "", "1"},
  };
  for (const auto& c : cases) {
    source.asked.clear();
    LintFinding out;
    enrich(findings[c.finding], {&source, {}}, out);
    EXPECT_EQ(source.asked,
              c.asked.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.asked});
    EXPECT_EQ(out.suggestion, c.replacement);
    EXPECT_EQ(out.fix.column, out.column) << c.asked;
    EXPECT_EQ(out.fix.end_column, out.column + std::ssize(findings[c.finding].value));
    EXPECT_EQ(out.fix.replacement, c.replacement);
    EXPECT_TRUE(out.message.empty());
    word(out);
    EXPECT_NE(out.message.find('"' + c.replacement + '"'), std::string::npos) << out.message;
  }
  for (const std::size_t k : {0, 5, 6, 7, 8, 9, 10, 11, 12, 13, 17, 18, 19, 20, 21, 22, 23}) {
    source.asked.clear();
    LintFinding out;
    enrich(findings[k], {&source, {}}, out);
    EXPECT_TRUE(source.asked.empty()) << k;
    EXPECT_FALSE(out.fix.any()) << k;
  }
}

// A cargo item whose category is near nothing gets the part nearest its part; the fix then
// replaces the part's bytes in the line, and there is none when the part is not in the line.
TEST(Enrich, ACargoPartSuggestionFixesThePartWhereItLies) {
  AskedSource source;
  source.category_answers = false;
  const std::string line = "cargo,{mining_lazer;Equipment/Mining;1}";
  Finding f = testing::sample_findings()[15];
  f.line_text = line;
  f.part = std::string_view(line).substr(7, 12);
  f.value = std::string_view(line).substr(20, 16);
  f.value_offset = 20;
  LintFinding out;
  enrich(f, {&source, {}}, out);
  EXPECT_EQ(source.asked, std::vector<std::string>{"part mining_lazer"});
  EXPECT_EQ(out.fix.column, 8);
  EXPECT_EQ(out.fix.end_column, 20);
  EXPECT_EQ(out.fix.replacement, "part mining_lazer!");
  word(out);
  EXPECT_NE(out.message.find("did you mean the part \"part mining_lazer!\"?"), std::string::npos);

  const std::string elsewhere = "mining_lazer";
  f.part = elsewhere;
  enrich(f, {&source, {}}, out);
  EXPECT_EQ(out.suggestion, "part mining_lazer!");
  EXPECT_FALSE(out.fix.any());
  // Without a source nothing is asked, suggested nor fixed.
  enrich(f, {}, out);
  EXPECT_TRUE(out.suggestion.empty());
  EXPECT_FALSE(out.fix.any());
}

// A mark round-trips whatever the texts hold (NUL and the mark's own bytes included), so items
// follow one another in one text and the writer reads each whole.
TEST(ItemMarks, EachItemComesBackWithItsSeverityRulesAttachedLineAndText) {
  LintFinding cause;
  cause.rule = Rule::TooManyCells;
  cause.severity = Severity::Error;
  cause.notes.resize(2);
  cause.notes[0].rule = Rule::NotBoolean;
  cause.notes[1].rule = Rule::PathOutsideData;
  LintFinding alone;
  alone.rule = Rule::EmptyKey;
  alone.severity = Severity::Warning;
  const std::string texts[] = {std::string("a\0b\x01", 4), "", std::string(300, '\0')};
  std::string text;
  for (const std::string& item : texts) {
    const bool first = text.empty();
    const ItemStart start = begin_item(text, first ? cause : alone, first ? "- line" : "");
    text += item;
    end_item(text, start);
  }
  std::size_t k = 0;
  for_each_item(text, [&](const ItemMark& mark, std::string_view marked) {
    ASSERT_LT(k, std::size(texts));
    EXPECT_EQ(mark.text, texts[k]);
    EXPECT_EQ(mark.severity, k == 0 ? Severity::Error : Severity::Warning);
    EXPECT_EQ(mark.rule, k == 0 ? Rule::TooManyCells : Rule::EmptyKey);
    EXPECT_EQ(mark.note_rules.size(), k == 0 ? 2u : 0u);
    if (k == 0) {
      EXPECT_EQ(rule_of_byte(mark.note_rules[1]), Rule::PathOutsideData);
    }
    EXPECT_EQ(mark.attached, k == 0 ? "- line" : "");
    EXPECT_EQ(read_mark(marked).text, texts[k]);
    ++k;
  });
  EXPECT_EQ(k, std::size(texts));
}

// The step summary's line of a finding is made from the finding: its level, then its place and
// message as code, so that nothing of the data is markup, a mention or a link; a backtick in
// the data lengthens the fence, and a span that ends in one is padded.
TEST(StepSummary, AFindingsLineIsMadeFromTheFinding) {
  LintFinding f;
  f.severity = Severity::Warning;
  f.line = 12;
  f.column = 7;
  f.message = "Name: \"*bold* @someone\" is <b>";
  EXPECT_EQ(step_summary_item(f, "mods/a\tb/units.csv"),
            "- **warning** `mods/a\\x09b/units.csv:12:7` `Name: \"*bold* @someone\" is <b>`\n");
  EXPECT_EQ(markdown_code_span("a``b`c"), "```a``b`c```");
  EXPECT_EQ(markdown_code_span("`x"), "`` `x ``");
  EXPECT_EQ(markdown_code_span(" x "), "`  x  `");
  EXPECT_EQ(markdown_code_span("a\nb"), "`a b`");
  EXPECT_EQ(markdown_code_span(""), "");
}

}  // namespace
}  // namespace unitcheck::lint
