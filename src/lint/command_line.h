#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "lint/format.h"

namespace unitcheck::lint {

enum class ColorMode : std::uint8_t { Auto, Always, Never };

// What unitlint was asked to do.
struct LintOptions {
  OutputFormat format = OutputFormat::Text;
  ColorMode color = ColorMode::Auto;
  bool strict = false;                       // warnings fail the run too
  bool schema = false;                       // describe the schema instead of checking
  std::optional<std::int64_t> max_findings;  // findings listed at most; unset: the format's own
  bool char_columns = false;                 // text columns in code points rather than bytes
  bool follow_links = false;     // read data files whose links lead outside the data directory
  bool language_server = false;  // speak the Language Server Protocol on standard input and output
  std::string data_directory;    // as given; empty for the current directory
};

// The parsed command line, or the end of the run: help, version, or one line of bad usage.
struct CommandLine {
  LintOptions options;
  std::optional<int> exit_status;  // set when the run ends here
  std::string out;                 // standard output before ending (help, version)
  std::string err;                 // standard error before ending (bad usage), one line
};

// unitlint [OPTIONS] [DATADIR], GNU style: -fjson, -f json, --format=json, --format json, "--"
// before a DATADIR that begins with '-'; a repeated option takes its last value.
CommandLine parse_command_line(int argc, const char* const* argv);

// Whether text output is colored: auto colors a terminal unless NO_COLOR is set to a non-empty
// value (no_color is its value, null when unset).
bool use_color(ColorMode mode, bool terminal, const char* no_color);

}  // namespace unitcheck::lint
