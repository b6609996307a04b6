#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "lint/lint_finding.h"
#include "lint/report_limits.h"

namespace unitcheck::lint {

enum class OutputFormat : std::uint8_t { Text, Json, Sarif, Github, Markdown, Html };

// What a report says at its end.
struct Summary {
  std::int64_t errors = 0;
  std::int64_t warnings = 0;
  std::int64_t rows = 0;  // unit lines checked
  bool checked = false;   // the run reached the end of the unit table
  std::string_view path;  // the unit table
  std::int64_t notes = 0;
  std::string_view failure;  // not checked: why, one line
  // Counted but not written, past the report's limits.
  std::int64_t omitted_errors = 0;
  std::int64_t omitted_warnings = 0;
  std::array<std::int64_t, kRuleCount> rule_counts{};  // by Rule, notes included
};

// The layout of one output format: a document's head, one finding, and its end. item may run on
// several threads at once; each finding's text begins with separator(), which the writer drops
// before the first finding of the document.
class Format {
 public:
  virtual ~Format() = default;
  virtual std::string begin() const = 0;
  // A data file's path as item writes it (escaped, encoded, quoted as the format needs): made
  // once per file rather than once per finding.
  virtual std::string written_path(std::string_view path) const = 0;
  // written_path is what written_path gave for the finding's file.
  virtual void item(const LintFinding& finding, std::string_view written_path,
                    std::string& text) const = 0;
  virtual std::string end(const Summary& summary) const = 0;
  virtual std::string_view separator() const { return {}; }
  // Whether items need the findings' columns counted in code points as well as bytes.
  virtual bool wants_char_columns() const { return false; }
  // The unit table's header line, told before the checking threads start, for a format that
  // shows cells by their column.
  virtual void header_read(std::string_view /*header_line*/) const {}
  // How many findings the format lists when the command line sets no limit.
  virtual ReportLimits default_limits() const { return {}; }
};

// The format of a report (Text, Json, Sarif, Github, Html). color and char_columns (columns counted
// in code points rather than bytes) are for Text only.
std::unique_ptr<Format> make_format(OutputFormat format, bool color, bool char_columns = false);

}  // namespace unitcheck::lint
