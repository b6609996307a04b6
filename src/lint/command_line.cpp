#include "lint/command_line.h"

#include <CLI/CLI.hpp>
#include <map>

#include "lint/exit_status.h"
#include "lint/version.h"

namespace unitcheck::lint {

namespace {

constexpr std::string_view kDescription =
    "Checks the unit database of a game data directory (units/units.csv and "
    "master_part_list.csv) and reports each fault with its file, line and column.";

constexpr std::string_view kFooter =
    "DATADIR is the data directory (default: the current directory), or its units/ folder, or "
    "its units/units.csv.\n"
    "Exit status: 0 no error, 1 errors found (or warnings, with --strict), 2 could not check.";

const std::map<std::string, OutputFormat> kFormats = {{"text", OutputFormat::Text},
                                                      {"json", OutputFormat::Json},
                                                      {"sarif", OutputFormat::Sarif},
                                                      {"github", OutputFormat::Github},
                                                      {"markdown", OutputFormat::Markdown}};
const std::map<std::string, ColorMode> kColorModes = {
    {"auto", ColorMode::Auto}, {"always", ColorMode::Always}, {"never", ColorMode::Never}};

// Converts an option's word to its value, or says which words there are.
template <class Value>
CLI::Validator one_of(const std::map<std::string, Value>& words, Value& value,
                      std::string_view list) {
  return CLI::Validator(
      [&words, &value, list](std::string& word) -> std::string {
        const auto it = words.find(word);
        if (it == words.end()) return "'" + word + "' is not one of " + std::string(list);
        value = it->second;
        return {};
      },
      "");
}

void define(CLI::App& app, LintOptions& options) {
  app.footer(std::string(kFooter));
  app.set_version_flag("-V,--version", "unitlint " + std::string(kVersion),
                       "Print the version and exit");
  app.set_help_flag("-h,--help", "Print this help and exit");
  app.add_option("-f,--format",
                 "Output: text, json, sarif or github (default text); with --schema: text, json "
                 "or markdown")
      ->check(one_of(kFormats, options.format, "text, json, sarif, github, markdown"))
      ->option_text("FORMAT")
      ->take_last();
  app.add_option("--color",
                 "Color the text output: auto (a terminal, unless NO_COLOR is set), always or "
                 "never")
      ->check(one_of(kColorModes, options.color, "auto, always, never"))
      ->option_text("WHEN")
      ->take_last();
  app.add_flag("--strict", options.strict, "Warnings fail the run too (exit status 1)");
  app.add_flag("--schema", options.schema,
               "Print the unit table's columns and the nested lists' fields, then exit");
  app.add_option("DATADIR", options.data_directory, "The data directory to check")
      ->option_text(" ");
}

// The formats each mode knows: markdown describes the schema only; SARIF and workflow commands
// describe findings only.
std::string mismatch(const LintOptions& options) {
  const OutputFormat f = options.format;
  if (options.schema && (f == OutputFormat::Sarif || f == OutputFormat::Github))
    return "--schema prints text, json or markdown";
  if (!options.schema && f == OutputFormat::Markdown) return "--format markdown needs --schema";
  return {};
}

// One line: CLI11's messages are, but a value quoted into one may hold a line feed.
std::string one_line(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return text;
}

CommandLine bad_usage(const std::string& message) {
  CommandLine line;
  line.exit_status = kExitCannotCheck;
  line.err = "unitlint: " + one_line(message) + " (unitlint --help lists the options)\n";
  return line;
}

}  // namespace

CommandLine parse_command_line(int argc, const char* const* argv) {
  CommandLine line;
  CLI::App app(std::string(kDescription), "unitlint");
  define(app, line.options);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    line.exit_status = kExitClean;
    line.out = app.help();
    return line;
  } catch (const CLI::CallForVersion& version) {
    line.exit_status = kExitClean;
    line.out = std::string(version.what()) + "\n";
    return line;
  } catch (const CLI::ParseError& error) {
    return bad_usage(error.what());
  }
  if (const std::string problem = mismatch(line.options); !problem.empty())
    return bad_usage(problem);
  return line;
}

bool use_color(ColorMode mode, bool terminal, const char* no_color) {
  if (mode != ColorMode::Auto) return mode == ColorMode::Always;
  return terminal && (no_color == nullptr || *no_color == '\0');
}

}  // namespace unitcheck::lint
