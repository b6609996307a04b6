// Runs the whole program in-process on a data directory made from the input: the bytes before
// the first 0xFF byte become master_part_list.csv, the bytes after it units/units.csv (with no
// 0xFF byte, the part list is empty and every byte goes to the unit table). The directory is
// created once per process, with a unit directory, a mesh and a cockpit for the on-disk checks
// to find; only the two files are rewritten per input.
//
// Besides running clean under the sanitizers, every run must end with status 0 and a transcript
// of the documented shape: the progress lines, then only lines in the three diagnostic forms,
// in non-decreasing row order, then the closing report with its keys in strictly ascending order.
// The unit lines checked on two worker threads must give the same transcript, byte for byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "driver/run.h"
#include "whole_run_support.h"

namespace {

using unitcheck::fuzz::require;
using unitcheck::fuzz::split_lines;

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

// The decimal number at the start of text (at least one digit), or nothing.
std::optional<std::int64_t> leading_number(std::string_view text) {
  std::size_t digits = 0;
  std::int64_t value = 0;
  while (digits < text.size() && digits < 18 && is_digit(text[digits]))
    value = value * 10 + (text[digits++] - '0');
  if (digits == 0) return std::nullopt;
  return value;
}

// The row number of a diagnostic line, or nothing for the one form without a row.
std::optional<std::int64_t> diagnostic_row(std::string_view line) {
  constexpr std::string_view kCell = "row ";
  constexpr std::string_view kTooMany = "Too Many fields: Row ";
  constexpr std::string_view kTooFew = "Fields Error, Expected 116 got ";
  if (line.starts_with(kTooFew)) {
    require(leading_number(line.substr(kTooFew.size())).has_value());
    return std::nullopt;
  }
  std::optional<std::int64_t> row;
  if (line.starts_with(kTooMany)) {
    row = leading_number(line.substr(kTooMany.size()));
  } else {
    require(line.starts_with(kCell));
    row = leading_number(line.substr(kCell.size()));
  }
  require(row.has_value() && *row >= 3);
  return row;
}

// A closing report line: "table.field: length", length not negative; returns the key.
std::string_view report_key(std::string_view line, std::size_t input_size) {
  const std::size_t colon = line.find(": ");
  require(colon != std::string_view::npos && line.find('.') < colon);
  const std::string_view length = line.substr(colon + 2);
  const std::optional<std::int64_t> value = leading_number(length);
  require(value.has_value() && std::to_string(*value) == length);
  require(static_cast<std::uint64_t>(*value) <= input_size);
  return line.substr(0, colon);
}

void check_transcript(std::string_view transcript, const std::string& dir, std::size_t input_size) {
  const std::vector<std::string_view> lines = split_lines(transcript);
  const std::vector<std::string> progress = {
      "Finding data directory.",
      "testing " + dir + "units/units.csv",
      "Using " + dir,
      "Parser Begins",
      "Processing " + dir + "master_part_list.csv no error checks - Done.",
      "Reading " + dir + "units/units.csv",
      "Header Read",
      "Unknown fields: "};
  require(lines.size() >= progress.size() + 5);
  for (std::size_t i = 0; i < progress.size(); ++i) require(lines[i] == progress[i]);
  std::size_t i = progress.size() + 1;  // after the line of unknown names
  require(lines[i++] == "Header Processed.");
  std::int64_t last_row = 3;
  for (; i < lines.size() && lines[i] != "Database processed."; ++i) {
    if (const std::optional<std::int64_t> row = diagnostic_row(lines[i])) {
      require(*row >= last_row);
      last_row = *row;
    }
  }
  require(i + 2 < lines.size());
  require(lines[++i] == "Max Fieldlengths (Str only)");
  require(lines[++i] == "---------------------------");
  std::string_view previous_key;
  for (++i; i < lines.size(); ++i) {
    const std::string_view key = report_key(lines[i], input_size);
    require(previous_key.empty() || previous_key < key);
    previous_key = key;
  }
}

// The transcript of a run that checks the unit lines on worker_threads threads (none: on the
// starting thread); it must end with status 0.
std::string run(const std::string& directory, unsigned worker_threads) {
  std::string transcript;
  unitcheck::Console console(transcript);
  require(unitcheck::run_program(
              console, unitcheck::Invocation{directory, std::nullopt, worker_threads}) == 0);
  return transcript;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const unitcheck::fuzz::DataDirectory directory;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  unitcheck::fuzz::write_data_files(directory, input);

  const std::string transcript = run(directory.argument(), 0);
  check_transcript(transcript, directory.argument(), size);
  require(run(directory.argument(), 2) == transcript);
  return 0;
}
