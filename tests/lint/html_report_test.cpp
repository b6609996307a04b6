#include <gtest/gtest.h>

#include <string>

#include "lint/csp_hash.h"
#include "lint/format.h"
#include "lint/html_report.h"
#include "lint/html_text.h"

namespace unitcheck::lint {
namespace {

// How many times part occurs in text.
std::size_t occurrences(std::string_view text, std::string_view part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string_view::npos;
       at = text.find(part, at + part.size()))
    ++count;
  return count;
}

TEST(HtmlReport, DataIsTextWhateverItHolds) {
  EXPECT_EQ(html_text("a<b>&c\"d'e"), "a&lt;b&gt;&amp;c&quot;d&#39;e");
  EXPECT_EQ(html_text("&lt;"), "&amp;lt;");  // a reference in the data stays text
  EXPECT_EQ(html_text(std::string("\x1b[1m\0\x7f", 6)), "\\x1b[1m\\x00\\x7f");
  EXPECT_EQ(html_text("caf\xe9 caf\xc3\xa9"), "caf\\xe9 caf\xc3\xa9");  // UTF-8 stays
  EXPECT_EQ(html_text("\xe2\x80\xae"), "\\u{202e}");                    // a bidirectional override
}

// FIPS 180-4's examples, and lengths about the padding's edges (one block or two), as Python's
// hashlib gives them.
TEST(HtmlReport, TheStylesheetIsAllowedByItsSha256) {
  EXPECT_EQ(csp_hash_source(""), "'sha256-47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU='");
  EXPECT_EQ(csp_hash_source("abc"), "'sha256-ungWv48Bz+pBQUDeXa4iI7ADYaOWF3qctBD/YfIAFa0='");
  EXPECT_EQ(csp_hash_source("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "'sha256-JI1qYdIGOLjlwCaTDD5gOaM85Flk/yFn9uzt1BnbBsE='");
  EXPECT_EQ(csp_hash_source(std::string(55, 'a')),
            "'sha256-n0OQ+NMMLdkuyfCVtl4rmumwqSWlJY4kHJ8ekQ9zQxg='");
  EXPECT_EQ(csp_hash_source(std::string(64, 'a')),
            "'sha256-/+BU/nrgy23GXDr5th1SCfQ5hR20PQulmXM33xVGaOs='");
  EXPECT_EQ(csp_hash_source(std::string(1000, 'a')),
            "'sha256-Qe3s5C1j6Nm/UVqbppMuHCDLyfWl0TRkWttdsblzfqM='");
}

// Findings of the sample's shape, as the writer gives them to the report: rendered on their own
// and written in order, here a few bytes at a time, so that records arrive cut anywhere.
class HtmlReportTest : public ::testing::Test {
 protected:
  void add(Rule rule, std::int64_t line, std::string_view line_text, std::int64_t column,
           std::int64_t end_column, std::size_t notes = 0, std::string_view table = {},
           std::string_view field = {}) {
    LintFinding finding;
    finding.table = table;
    finding.field = field;
    finding.char_column = column * 10;  // told apart from the byte column
    finding.rule = rule;
    finding.line = line;
    finding.line_text = line_text;
    finding.column = column;
    finding.end_column = end_column;
    finding.unit_column = "Mass";
    finding.message = "Mass: <bad>";
    for (std::size_t k = 0; k < notes; ++k) finding.notes.push_back(finding);
    for (LintFinding& note : finding.notes) note.severity = Severity::Note;
    std::string text;
    format_->item(finding, "", text);
    for (std::size_t at = 0; at < text.size(); at += 7)
      report_.write(std::string_view(text).substr(at, 7));
  }

  std::string page(bool char_columns = false) {
    Summary summary;
    summary.checked = true;
    return report_.page(summary, {"mod/", "mod/units/units.csv", "mod/master_part_list.csv",
                                  char_columns});
  }

  std::unique_ptr<Format> format_ = make_format(OutputFormat::Html, false);
  std::unique_ptr<Format> char_format_ = make_format(OutputFormat::Html, false, true);
  HtmlReport report_;
};

TEST_F(HtmlReportTest, AFindingShowsItsUnitItsPlaceAndItsValueMarkedInTheCell) {
  format_->header_read("Key,Directory,Name,Mass");
  const std::string line = "\"w,asp\",wasp,Wasp <i>,1.2.3";
  add(Rule::FloatSyntax, 6, line, 23, 28, 1);
  const std::string text = page();
  EXPECT_NE(text.find("<td class=\"line\">6</td><td class=\"unit\">w,asp<span class=\"name\">"
                      "Wasp &lt;i&gt;</span></td><td class=\"place\">Mass<span class=\"col\">"
                      "col 23</span></td><td class=\"cell\"><code><mark>1.2.3</mark></code>"),
            std::string::npos)
      << text;
  EXPECT_EQ(occurrences(text, "<tr class=\"note\">"), 1U);
  EXPECT_EQ(occurrences(text, "Mass: &lt;bad&gt;"), 2U);
  EXPECT_NE(text.find("1 finding, 1 note"), std::string::npos);
  EXPECT_EQ(text.find("<i>"), std::string::npos);
}

// A long cell shows the value with a bounded part of its cell either side, cut before a
// character; an empty range still shows where it lies.
TEST_F(HtmlReportTest, TheCellAroundAValueIsCutToItsNeighbourhood) {
  const std::string line =
      "k,{" + std::string(100, 'a') + "\xc3\xa9" + "bad;" + std::string(100, 'z') + "},";
  add(Rule::NestedFloatSyntax, 3, line, 106, 109);
  add(Rule::TooFewCells, 4, line, static_cast<std::int64_t>(line.size()) + 1,
      static_cast<std::int64_t>(line.size()) + 1);
  add(Rule::NotBoolean, 5, "k,,x", 3, 3);
  add(Rule::MissingColumn, 1, "Key,Name", 1, 1);
  const std::string text = page();
  EXPECT_NE(text.find("<code>\u2026" + std::string(58, 'a') + "\xc3\xa9<mark>bad</mark>;" +
                      std::string(59, 'z') + "\u2026</code>"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("<code><mark class=\"empty\">(end of line)</mark></code>"),
            std::string::npos);
  EXPECT_NE(text.find("<td class=\"cell\"><code><mark class=\"empty\">(empty)</mark></code>"),
            std::string::npos);
  // A column the header lacks has no cell: the page says so rather than mark the header.
  EXPECT_NE(text.find("<td class=\"cell\"><span class=\"more\">not in the header</span></td>"),
            std::string::npos);
}

// Whatever the number of findings, a page lists a bounded number and counts the rest; the
// units with the most findings are the most, in order, however many there were.
TEST_F(HtmlReportTest, ListsAreBoundedAndTheRestCounted) {
  const std::string line = "unit,x";
  std::int64_t next_line = 3;
  for (const Rule rule : {Rule::FloatSyntax, Rule::FloatCharacters, Rule::IntegerSyntax,
                          Rule::IntegerCharacters, Rule::NotBoolean})
    for (std::int64_t i = 0; i < 1200; ++i, ++next_line)
      add(rule, next_line, line, 1, 2, next_line == 80 ? 4 : 0);
  for (std::int64_t i = 0; i < 350; ++i) add(Rule::MeshMissing, 20000 + i / 2, line, 1, 2);
  const std::string text = page();
  // 1,000 of each of the first five rules, which fill the 5,000; the sixth's first 100.
  EXPECT_EQ(occurrences(text, "<tr id=\"f"), 5000U + 100U);
  EXPECT_EQ(occurrences(text, "and 200 more findings of this rule"), 5U);
  EXPECT_EQ(occurrences(text, "and 250 more findings of this rule"), 1U);
  // Line 80 has 5 findings (one and its four notes); then the lines of two mesh findings.
  const std::size_t units = text.find("<h2 id=\"units\">");
  ASSERT_NE(units, std::string::npos);
  EXPECT_EQ(occurrences(text.substr(units), "<tr><td class=\"line\">"), HtmlReport::kTopUnits);
  EXPECT_NE(text.find("<tr><td class=\"line\">80</td>", units), std::string::npos);
  EXPECT_LT(text.find("<tr><td class=\"line\">80</td>", units),
            text.find("<tr><td class=\"line\">20000</td>", units));
  EXPECT_NE(text.find("<tr><td class=\"line\">20018</td>", units), std::string::npos);
  EXPECT_EQ(text.find("<tr><td class=\"line\">20019</td>", units), std::string::npos);
}

// What a reader sees first: the section of the file's first fault is the one open, whatever
// the order of the sections; bars and percentages are shares of all findings; a key and a name
// cut at 200 bytes (or by the end of the line's first bytes read) say so; a finding of a whole
// group names its table without a dangling dot; the page says how it counts columns.
TEST_F(HtmlReportTest, TheFirstFaultIsOpenAndSharesAddUp) {
  format_->header_read("Key,Directory,Name,Mass");
  const std::string long_name = "k,d," + std::string(250, 'N') + ",1";
  for (std::int64_t line = 10; line < 17; ++line) add(Rule::FloatSyntax, line, "k,d,n,1", 7, 8);
  add(Rule::NotBoolean, 4, long_name, 1, 2);
  add(Rule::NestedTooManyValues, 12, "k,d,n,1", 7, 8, 0, "dock");
  add(Rule::NestedFloatSyntax, 13, "k,d,n,1", 7, 8, 0, "cargo", "price");
  const std::string long_key(600, 'K');
  add(Rule::IntegerSyntax, 20, long_key + ",d,n", 1, 2);
  const std::string text = page();
  // float-syntax comes first (most findings), not-boolean holds line 4 and is the one open.
  EXPECT_LT(text.find("<details id=\"rule-float-syntax\">"),
            text.find("<details id=\"rule-not-boolean\" open>"))
      << text;
  EXPECT_EQ(occurrences(text, " open>"), 1U);
  // 7 of 11 findings: 64%, a bar of 65%; one of 11: 9%, a bar of 10%.
  EXPECT_NE(text.find("<span class=\"error w65\">64%</span></span><span class=\"share\" "
                      "aria-hidden=\"true\">64%</span>"),
            std::string::npos);
  EXPECT_EQ(occurrences(text, "<span class=\"error w10\">9%</span>"), 4U);
  EXPECT_NE(text.find("Share of all findings"), std::string::npos);
  EXPECT_NE(text.find(std::string(200, 'N') + "\u2026</span>"), std::string::npos);
  EXPECT_EQ(text.find(std::string(201, 'N')), std::string::npos);
  EXPECT_NE(text.find(std::string(200, 'K') + "\u2026</td>"), std::string::npos);
  EXPECT_NE(text.find("<span class=\"sub\">dock</span>"), std::string::npos);
  EXPECT_NE(text.find("<span class=\"sub\">cargo.price</span>"), std::string::npos);
  EXPECT_NE(text.find("counted in bytes from 1"), std::string::npos);
  EXPECT_NE(text.find("col 7</span>"), std::string::npos);

  // Counted in characters, the page says so and shows the finding's character column.
  HtmlReport report;
  LintFinding finding;
  finding.rule = Rule::FloatSyntax;
  finding.line = 3;
  finding.line_text = "k,1.2.3";
  finding.column = 3;
  finding.end_column = 8;
  finding.char_column = 42;
  std::string record;
  char_format_->item(finding, "", record);
  report.write(record);
  Summary summary;
  summary.checked = true;
  const std::string chars = report.page(summary, {"m/", "m/u.csv", "m/p.csv", true});
  EXPECT_NE(chars.find("col 42</span>"), std::string::npos) << chars;
  EXPECT_NE(chars.find("counted in characters from 1"), std::string::npos);
}

}  // namespace
}  // namespace unitcheck::lint
