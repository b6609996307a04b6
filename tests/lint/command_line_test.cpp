#include "lint/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lint/exit_status.h"

namespace unitcheck::lint {
namespace {

CommandLine parse(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "unitlint");
  return parse_command_line(static_cast<int>(arguments.size()), arguments.data());
}

TEST(CommandLine, OptionsTakeTheirGnuForms) {
  const struct {
    std::vector<const char*> arguments;
    OutputFormat format;
    ColorMode color;
    bool strict, schema;
    std::string directory;
  } cases[] = {
      {{}, OutputFormat::Text, ColorMode::Auto, false, false, ""},
      {{"mod"}, OutputFormat::Text, ColorMode::Auto, false, false, "mod"},
      {{"-fjson", "mod"}, OutputFormat::Json, ColorMode::Auto, false, false, "mod"},
      {{"mod", "-f", "sarif"}, OutputFormat::Sarif, ColorMode::Auto, false, false, "mod"},
      {{"--format=github", "--strict"}, OutputFormat::Github, ColorMode::Auto, true, false, ""},
      {{"-fhtml", "mod"}, OutputFormat::Html, ColorMode::Auto, false, false, "mod"},
      {{"--format", "json", "--format=text"},
       OutputFormat::Text,
       ColorMode::Auto,
       false,
       false,
       ""},
      {{"--color=never", "--color", "always"},
       OutputFormat::Text,
       ColorMode::Always,
       false,
       false,
       ""},
      {{"--schema", "-f", "markdown"}, OutputFormat::Markdown, ColorMode::Auto, false, true, ""},
      {{"--", "-odd-name"}, OutputFormat::Text, ColorMode::Auto, false, false, "-odd-name"},
      // Unambiguous abbreviations of long options, as GNU tools take them.
      {{"--form", "sarif", "--str"}, OutputFormat::Sarif, ColorMode::Auto, true, false, ""},
  };
  for (const auto& c : cases) {
    const CommandLine line = parse(c.arguments);
    const std::string shown = c.arguments.empty() ? "(none)" : c.arguments.front();
    ASSERT_FALSE(line.exit_status) << shown << ": " << line.err;
    EXPECT_EQ(line.options.format, c.format) << shown;
    EXPECT_EQ(line.options.color, c.color) << shown;
    EXPECT_EQ(line.options.strict, c.strict) << shown;
    EXPECT_EQ(line.options.schema, c.schema) << shown;
    EXPECT_EQ(line.options.data_directory, c.directory) << shown;
  }
}

TEST(CommandLine, BadUsageIsOneLineOnStandardErrorAndStatusTwo) {
  const struct {
    std::vector<const char*> arguments;
    std::string err;
  } cases[] = {
      {{"--format=xml"}, "--format: 'xml' is not one of text, json, sarif, github, html, markdown"},
      {{"--color=sometimes"}, "--color: 'sometimes' is not one of auto, always, never"},
      {{"a", "b"}, "unexpected argument 'b': one DATADIR at most"},
      {{"--bogus"}, "unknown or ambiguous option '--bogus'"},
      {{"--s", "mod"}, "unknown or ambiguous option '--s'"},  // --strict or --schema
      {{"-x"}, "unknown option '-x'"},
      {{"--strict=yes"}, "option '--strict' takes no value"},
      {{"mod", "--format"}, "option '--format' needs a value"},
      {{"--format="}, "--format: '' is not one of text, json, sarif, github, html, markdown"},
      {{"--format=markdown", "mod"}, "--format markdown needs --schema"},
      {{"--schema", "--format=sarif"}, "--schema prints text, json or markdown"},
      {{"--schema", "--format=html"}, "--schema prints text, json or markdown"},
      {{"--format=x\ny"},
       "--format: 'x y' is not one of text, json, sarif, github, html, markdown"},
  };
  for (const auto& c : cases) {
    const CommandLine line = parse(c.arguments);
    EXPECT_EQ(line.exit_status, kExitCannotCheck) << c.err;
    EXPECT_EQ(line.err, "unitlint: " + c.err + " (unitlint --help lists the options)\n");
    EXPECT_EQ(line.out, "");
  }
}

TEST(CommandLine, HelpAndVersionGoToStandardOutputWithStatusZero) {
  // Asked for help, the words of other options are not judged.
  for (const char* flag : {"-h", "--help"}) {
    const CommandLine line = parse({"--format=xml", flag});
    EXPECT_EQ(line.exit_status, kExitClean);
    EXPECT_NE(line.out.find("Usage: unitlint [OPTIONS] [DATADIR]"), std::string::npos);
    EXPECT_NE(line.out.find("--strict"), std::string::npos);
    EXPECT_EQ(line.err, "");
  }
  for (const char* flag : {"-V", "--version"}) {
    const CommandLine line = parse({flag});
    EXPECT_EQ(line.exit_status, kExitClean);
    EXPECT_EQ(line.out.rfind("unitlint ", 0), 0u);
    EXPECT_EQ(line.out.back(), '\n');
  }
}

TEST(CommandLine, ColorFollowsTheOptionThenTheTerminalThenNoColor) {
  EXPECT_TRUE(use_color(ColorMode::Auto, true, nullptr));
  EXPECT_TRUE(use_color(ColorMode::Auto, true, ""));  // set but empty counts as unset
  EXPECT_FALSE(use_color(ColorMode::Auto, true, "1"));
  EXPECT_FALSE(use_color(ColorMode::Auto, false, nullptr));
  EXPECT_TRUE(use_color(ColorMode::Always, false, "1"));
  EXPECT_FALSE(use_color(ColorMode::Never, true, nullptr));
}

TEST(ExitStatus, ErrorsFailWarningsFailOnlyUnderStrictUncheckedIsTwo) {
  const struct {
    FindingCounts counts;
    bool strict, checked;
    int expected;
  } cases[] = {
      {{0, 0}, false, true, 0}, {{0, 3}, false, true, 0}, {{0, 3}, true, true, 1},
      {{1, 0}, false, true, 1}, {{1, 0}, true, true, 1},  {{0, 0}, false, false, 2},
      {{5, 5}, true, false, 2},
  };
  for (const auto& c : cases)
    EXPECT_EQ(exit_status(c.counts, c.strict, c.checked), c.expected)
        << c.counts.errors << " " << c.counts.warnings << " " << c.strict << " " << c.checked;
}

}  // namespace
}  // namespace unitcheck::lint
