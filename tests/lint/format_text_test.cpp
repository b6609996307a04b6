#include <gtest/gtest.h>

#include <string>

#include <nlohmann/json.hpp>

#include "lint/format.h"
#include "lint/github_format.h"
#include "lint/lint_messages.h"
#include "lint/sarif_format.h"
#include "lint/utf8.h"

namespace unitcheck::lint {
namespace {

TEST(FormatText, WorkflowCommandsEscapeDataAndPropertiesAsGithubReadsThem) {
  EXPECT_EQ(escape_command_data("100% done\r\nnext: a,b"), "100%25 done%0D%0Anext: a,b");
  EXPECT_EQ(escape_command_property("100% done\r\nnext: a,b"), "100%25 done%0D%0Anext%3A a%2Cb");
  EXPECT_EQ(escape_command_data("%0A"), "%250A");  // an escape in the text stays text
  EXPECT_EQ(escape_command_property("mod/units/units.csv"), "mod/units/units.csv");
}

// The summary line is plain text: shown as written, on one line, and never a command.
TEST(FormatText, PlainLogTextStaysOneLineAndReadsAsNoCommand) {
  EXPECT_EQ(plain_log_text("100%mod, a:b [x]"), "100%mod, a:b [x]");
  EXPECT_EQ(plain_log_text("mod\n::error::x\r"), "mod\\x0a::error::x\\x0d");
  EXPECT_EQ(plain_log_text(" \xc2\xa0::x:: ::"), " \xc2\xa0\\x3a:x:: ::");
  EXPECT_EQ(plain_log_text("\t::x"), "\\x09::x");
  EXPECT_EQ(plain_log_text("a##[error]b ###[c ##x[ #[#"), "a##\\x5berror]b ###\\x5bc ##x[ #[#");
}

TEST(FormatText, ArtifactUrisEncodeEveryByteButUnreservedOnesAndSlashes) {
  EXPECT_EQ(artifact_uri("mod/units/units.csv"), "mod/units/units.csv");
  EXPECT_EQ(artifact_uri("/home/a b/units/units.csv"), "file:///home/a%20b/units/units.csv");
  // "//srv" is "/srv" here, not a host; more slashes go down to one as well.
  EXPECT_EQ(artifact_uri("//srv/mod/units/units.csv"), "file:///srv/mod/units/units.csv");
  EXPECT_EQ(artifact_uri("///srv//mod"), "file:///srv//mod");
  EXPECT_EQ(artifact_uri("c:/x%#?"), "c%3A/x%25%23%3F");  // no scheme, no fragment, no query
  EXPECT_EQ(artifact_uri("caf\xc3\xa9~_-."), "caf%C3%A9~_-.");
}

TEST(FormatText, MessagesQuoteValuesOnOneLine) {
  EXPECT_EQ(lint::quoted("plain"), "\"plain\"");
  EXPECT_EQ(lint::quoted("say \"hi\"\\"), "\"say \\\"hi\\\"\\\"");
  EXPECT_EQ(lint::quoted(std::string("\x1b[2J\t\0\x7f", 7)), "\"\\x1b[2J\\x09\\x00\\x7f\"");
  EXPECT_EQ(lint::quoted("caf\xe9"), "\"caf\\xe9\"");         // a byte of no UTF-8 sequence
  EXPECT_EQ(lint::quoted("caf\xc3\xa9"), "\"caf\xc3\xa9\"");  // UTF-8 stays as it is
  EXPECT_EQ(without_controls("a\nb"), "a\\x0ab");
}

// A result takes its level from the finding: the rule's own, or another one given to it.
TEST(FormatText, SarifResultsTakeTheFindingsLevel) {
  const auto sarif = make_format(OutputFormat::Sarif, false);
  const std::string uri = sarif->written_path("mod/units/units.csv");
  LintFinding finding;
  finding.rule = Rule::UnknownColumn;
  finding.message = "m";
  for (const Severity severity : {Severity::Warning, Severity::Error}) {
    finding.severity = severity;
    std::string text;
    sarif->item(finding, uri, text);
    const nlohmann::json result = nlohmann::json::parse(text.substr(sarif->separator().size()));
    EXPECT_EQ(result["ruleId"], "unknown-column");
    EXPECT_EQ(result["ruleIndex"], static_cast<int>(Rule::UnknownColumn));
    EXPECT_EQ(result["level"], severity_name(severity));
    EXPECT_EQ(result["locations"][0]["physicalLocation"]["artifactLocation"]["uri"],
              "mod/units/units.csv");
  }
}

TEST(FormatText, Utf8IsCheckedByItsRules) {
  const struct {
    std::string text;
    bool valid;
  } cases[] = {
      {"", true},
      {"ascii", true},
      {"caf\xc3\xa9", true},
      {"\xe2\x82\xac", true},       // U+20AC
      {"\xf0\x9f\x9a\x80", true},   // U+1F680
      {"\xf4\x8f\xbf\xbf", true},   // U+10FFFF
      {"caf\xe9", false},           // Latin-1
      {"\xc3", false},              // cut short
      {"\xe2\x82", false},          // cut short
      {"\xc0\xaf", false},          // overlong
      {"\xe0\x80\xaf", false},      // overlong
      {"\xed\xa0\x80", false},      // a surrogate
      {"\xf4\x90\x80\x80", false},  // past U+10FFFF
      {"\x80", false},              // a continuation byte alone
      {"\xc3\xa9\xff", false},
  };
  for (const auto& c : cases) EXPECT_EQ(is_valid_utf8(c.text), c.valid) << hex_bytes(c.text);
  EXPECT_EQ(hex_bytes(std::string("\x00\xff"
                                  "A",
                                  3)),
            "00ff41");
}

}  // namespace
}  // namespace unitcheck::lint
