#include "driver/data_directory.h"

#include <optional>

#include "platform/console.h"
#include "platform/failure.h"
#include "platform/file_system.h"

namespace unitcheck {

namespace {

constexpr std::string_view kUnitTable = "units/units.csv";

// What a candidate whose test cannot be made (no permission, a link loop, a path too long, a
// failing disk) leads to. A locked folder among the built-in places must not stop the search,
// but passing over the directory that the user named would check another database instead and
// end with 0: that one ends the run as an unreadable file does.
enum class OnUntestable { PassOver, EndRun };

// Prints the candidate's test path and returns the candidate when that path exists.
std::optional<std::string> try_candidate(Console& console, std::string_view candidate,
                                         OnUntestable on_untestable = OnUntestable::PassOver) {
  std::string directory = normalize_separators(candidate);
  const std::string test_path = directory + std::string(kUnitTable);
  console.write("testing ").write(test_path).end_line();
  const Existence found = test_existence(test_path);
  if (found == Existence::Untestable && on_untestable == OnUntestable::EndRun)
    throw Failure("EFOpenError", "Unable to open file \"" + test_path + "\"");
  if (found != Existence::Present) return std::nullopt;
  return directory;
}

// The argument as a directory: a slash is appended unless it already ends in a separator.
std::string argument_candidate(std::string argument) {
  const char last = argument.back();
  if (last != '/' && last != '\\') argument += '/';
  return argument;
}

std::optional<std::string> search(Console& console, const Invocation& invocation) {
  if (invocation.first_argument && !invocation.first_argument->empty())
    if (auto found = try_candidate(console, argument_candidate(*invocation.first_argument),
                                   OnUntestable::EndRun))
      return found;
  if (invocation.home && !invocation.home->empty())
    if (auto found = try_candidate(console, *invocation.home + "/data4.x/")) return found;
  for (std::string_view candidate : candidate_directories)
    if (auto found = try_candidate(console, candidate)) return found;
  return std::nullopt;
}

}  // namespace

std::string normalize_separators(std::string_view path) {
  std::string result(path);
  convert_separators(result);
  return result;
}

std::string find_data_directory(Console& console, const Invocation& invocation) {
  console.line("Finding data directory.");
  if (std::optional<std::string> found = search(console, invocation)) {
    console.write("Using ").write(*found).end_line();
    return std::move(*found);
  }
  console.line("Coundn't find data directory.");
  return {};
}

}  // namespace unitcheck
