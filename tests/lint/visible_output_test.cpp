// Whatever a mod's cells and paths hold, the text and GitHub reports reach a terminal or a CI
// log with no control in them: random values of every hostile class, through the real
// messages and formats.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "lint/format.h"
#include "lint/github_format.h"
#include "lint/lint_messages.h"
#include "lint/suggestion_lists.h"
#include "lint/utf8.h"
#include "support/describe.h"

namespace unitcheck::lint {
namespace {

// Pieces a value is made of: harmless ones, and one of each class that must not pass raw.
const std::vector<std::string> kSafe = {
    "a",        "Z",           "0", " ", "-",           "\\",           "%",
    ":",        ",",           "'", "{", "caf\xc3\xa9", "\xe2\x82\xac", "\xf0\x9f\x9a\x80",
    "\xc2\xa0", "\xe2\x80\x8b"};
const std::vector<std::string> kHostile = {std::string(1, '\0'),
                                           "\n",
                                           "\r",
                                           "\t",
                                           "\x1b[2J",
                                           "\x7f",
                                           "\"",
                                           "\xc2\x80",
                                           "\xc2\x85",
                                           "\xc2\x9b",
                                           "\xc2\x9f",  // C1
                                           "\x9b",
                                           "\x80",
                                           "\xff",
                                           "\xe9",
                                           "\xc3",
                                           "\xe2\x80",
                                           "\xed\xa0\x80",  // no UTF-8
                                           "\xe2\x80\xaa",
                                           "\xe2\x80\xae",
                                           "\xe2\x81\xa6",
                                           "\xe2\x81\xa9",  // bidi
                                           "\xe2\x80\x8e",
                                           "\xe2\x80\x8f",
                                           "\xd8\x9c",  // marks
                                           "\xe2\x80\xa8",
                                           "\xe2\x80\xa9"};  // separators

std::string random_text(std::mt19937& random, bool hostile) {
  std::string text;
  const int pieces = static_cast<int>(random() % 12);
  for (int i = 0; i < pieces; ++i) {
    const bool take_hostile = hostile && random() % 3 == 0;
    const auto& from = take_hostile ? kHostile : kSafe;
    text += from[random() % from.size()];
  }
  return text;
}

// What a reader's terminal must never receive: the reason, or empty.
std::string unsafe_in(std::string_view line) {
  if (!is_valid_utf8(line)) return "bytes of no UTF-8 sequence";
  for (std::size_t i = 0; i < line.size(); ++i) {
    const auto b = static_cast<unsigned char>(line[i]);
    const auto next = i + 1 < line.size() ? static_cast<unsigned char>(line[i + 1]) : 0;
    const auto third = i + 2 < line.size() ? static_cast<unsigned char>(line[i + 2]) : 0;
    if (b < 0x20 || b == 0x7f) return "a control byte";
    if (b == 0xc2 && next >= 0x80 && next <= 0x9f) return "a C1 control";
    if (b == 0xd8 && next == 0x9c) return "U+061C";
    if (b == 0xe2 && next == 0x80 && (third == 0x8e || third == 0x8f)) return "U+200E/F";
    if (b == 0xe2 && next == 0x80 && third >= 0xa8 && third <= 0xae) return "U+2028..202E";
    if (b == 0xe2 && next == 0x81 && third >= 0xa6 && third <= 0xa9) return "U+2066..2069";
  }
  return {};
}

// The report's lines: each must end with a line feed, the only control byte it may hold.
void expect_safe_lines(std::string_view report, const std::string& value) {
  ASSERT_FALSE(report.empty());
  ASSERT_EQ(report.back(), '\n');
  report.remove_suffix(1);
  for (std::size_t end; !report.empty(); report.remove_prefix(end + 1)) {
    end = std::min(report.find('\n'), report.size());
    EXPECT_EQ(unsafe_in(report.substr(0, end)), "") << "value " << testing::PrintToString(value);
    if (end == report.size()) break;
  }
}

TEST(VisibleOutput, NoValueOrPathPutsAControlIntoTheTextOrGithubReport) {
  std::mt19937 random(20261208);
  const SuggestionLists names;
  const auto text = make_format(OutputFormat::Text, false);
  const auto github = make_format(OutputFormat::Github, false);
  for (int round = 0; round < 3000; ++round) {
    const std::string value = random_text(random, true);
    const std::string path = random_text(random, true) + "/units/units.csv";
    Finding finding;
    finding.line = 3;
    finding.column = "Name";
    finding.value = value;
    finding.length = static_cast<std::int64_t>(value.size());
    finding.limit = 1;
    finding.table = "cargo_import";
    finding.field = "Cat";
    finding.part = value;
    const FindingKind kinds[] = {FindingKind::TextTooLong, FindingKind::NotBoolean,
                                 FindingKind::NotFloat, FindingKind::CategoryNotFound,
                                 FindingKind::CargoPartNotFound};
    finding.kind = kinds[round % std::size(kinds)];
    const LintFinding described = describe(finding, {&names, {}});
    for (const Format* format : {text.get(), github.get()}) {
      std::string report;
      format->item(described, format->written_path(path), report);
      Summary summary;
      summary.errors = 1;
      summary.rows = 1;
      summary.checked = true;
      summary.path = path;
      report += format->end(summary);
      expect_safe_lines(report, value);
    }
  }
}

TEST(VisibleOutput, HarmlessTextPassesAsItIs) {
  std::mt19937 random(7);
  for (int round = 0; round < 1000; ++round) {
    const std::string value = random_text(random, false);
    EXPECT_EQ(lint::quoted(value), "\"" + value + "\"");
    EXPECT_EQ(without_controls(value), value);
  }
}

TEST(VisibleOutput, EachClassHasItsEscape) {
  EXPECT_EQ(lint::quoted("a\xc2\x85z"), "\"a\\u{0085}z\"");
  EXPECT_EQ(lint::quoted("\x9b[31m"), "\"\\x9b[31m\"");
  EXPECT_EQ(lint::quoted("abc\xe2\x80\xae"
                         "cba"),
            "\"abc\\u{202e}cba\"");
  EXPECT_EQ(lint::quoted("\xe2\x81\xa6x\xe2\x81\xa9"), "\"\\u{2066}x\\u{2069}\"");
  EXPECT_EQ(lint::quoted("l\xe2\x80\xa8p\xe2\x80\xa9"), "\"l\\u{2028}p\\u{2029}\"");
  EXPECT_EQ(lint::quoted("\xd8\x9c\xe2\x80\x8e\xe2\x80\x8f"), "\"\\u{061c}\\u{200e}\\u{200f}\"");
  EXPECT_EQ(lint::quoted("caf\xe9 \xe2\x82"), "\"caf\\xe9 \\xe2\\x82\"");  // cut short: bytes
  EXPECT_EQ(without_controls("a\"\x01"), "a\"\\x01");
}

}  // namespace
}  // namespace unitcheck::lint
