// unitcheck-gen [options] OUT: writes a synthetic data directory for the validator.
#include <charconv>
#include <chrono>
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>

#include "gen/generate.h"

namespace {

using unitcheck::gen::GenOptions;

constexpr std::string_view kUsage =
    "usage: unitcheck-gen [options] OUT\n"
    "\n"
    "Writes a synthetic data directory OUT for unitcheck: OUT/master_part_list.csv,\n"
    "OUT/units/units.csv (the schema's columns, two header lines, one unit per line),\n"
    "the unit directories below OUT/units/ with their mesh files, OUT/cockpits/ and\n"
    "OUT/meshes/. The same options always give the same bytes.\n"
    "\n"
    "  --rows N            unit lines to write (default 1000)\n"
    "  --parts P           parts in the master part list, at least 32 (default 1500)\n"
    "  --directories D     most distinct unit directories (default 2000); rows share them,\n"
    "                      so the file tree stays small however many rows are written\n"
    "  --random-state N    starting value of the random stream (default 1)\n"
    "  --missing-share X   share of references to unit directories, cockpits and mesh\n"
    "                      files that name nothing on disk (default 0.02)\n"
    "  --fault-share X     share of cells, of nested-list groups and of rows that carry a\n"
    "                      fault (default 0.01): too-long text, bad booleans, bad number\n"
    "                      syntax or conversion, unknown cargo parts and categories, too many\n"
    "                      values in a group, unclosed groups, too many or too few cells\n"
    "  -h, --help          show this text\n"
    "\n"
    "At the end it prints, per kind, how many diagnostic lines unitcheck should report.\n";

struct UsageError {
  std::string message;
};

template <class T>
T parse_number(std::string_view option, std::string_view text) {
  T value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < T{})
    throw UsageError{std::string(option) + " needs a non-negative number, not '" +
                     std::string(text) + "'"};
  return value;
}

double parse_share(std::string_view option, std::string_view text) {
  const auto share = parse_number<double>(option, text);
  if (!(share <= 1))  // also catches nan
    throw UsageError{std::string(option) + " must lie between 0 and 1"};
  return share;
}

// Reads the options; returns false when only the help was asked for.
bool parse_arguments(int argc, char** argv, GenOptions& options, std::string& out) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "-h" || argument == "--help") return false;
    if (!argument.starts_with("--")) {
      if (!out.empty()) throw UsageError{"only one output folder, please"};
      out = argument;
      continue;
    }
    if (i + 1 == argc) throw UsageError{std::string(argument) + " needs a value"};
    const std::string_view value = argv[++i];
    if (argument == "--rows")
      options.rows = parse_number<long>(argument, value);
    else if (argument == "--parts")
      options.parts = parse_number<int>(argument, value);
    else if (argument == "--directories")
      options.directories = parse_number<int>(argument, value);
    else if (argument == "--random-state")
      options.random_state = parse_number<std::uint64_t>(argument, value);
    else if (argument == "--missing-share")
      options.missing_share = parse_share(argument, value);
    else if (argument == "--fault-share")
      options.fault_share = parse_share(argument, value);
    else
      throw UsageError{"unknown option " + std::string(argument)};
  }
  if (out.empty()) throw UsageError{"no output folder given"};
  return true;
}

void print_summary(const unitcheck::gen::GenSummary& summary, std::string_view out,
                   double seconds) {
  const double megabytes = static_cast<double>(summary.unit_table_bytes) / 1e6;
  std::printf(
      "wrote %.*s: %ld rows (%.1f MB units.csv, %.0f bytes per row), %d parts, %d "
      "unit directories in %.2f s (%.0f rows/s, %.0f MB/s)\n",
      static_cast<int>(out.size()), out.data(), summary.rows, megabytes,
      summary.rows > 0 ? static_cast<double>(summary.unit_table_bytes) / summary.rows : 0.0,
      summary.parts, summary.directories, seconds, summary.rows / seconds, megabytes / seconds);
  std::printf("expected diagnostics: %ld\n", summary.expected.total());
  unitcheck::gen::for_each_transcript_kind([&](unitcheck::FindingKind kind) {
    const std::string_view name = unitcheck::gen::diagnostic_name(kind);
    std::printf("  %-28.*s %ld\n", static_cast<int>(name.size()), name.data(),
                summary.expected.count(kind));
  });
}

}  // namespace

int main(int argc, char** argv) {
  GenOptions options;
  std::string out;
  try {
    if (!parse_arguments(argc, argv, options, out)) {
      std::fwrite(kUsage.data(), 1, kUsage.size(), stdout);
      return 0;
    }
    const auto start = std::chrono::steady_clock::now();
    const auto summary = unitcheck::gen::generate_data(options, out);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    print_summary(summary, out, elapsed.count());
    return 0;
  } catch (const UsageError& error) {
    std::fprintf(stderr, "unitcheck-gen: %s\n\n%.*s", error.message.c_str(),
                 static_cast<int>(kUsage.size()), kUsage.data());
    return 2;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "unitcheck-gen: %s\n", error.what());
    return 1;
  }
}
