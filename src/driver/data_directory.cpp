#include "driver/data_directory.h"

#include "driver/run.h"
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

// Prints the candidate's test path and accepts the candidate when that path exists.
bool try_candidate(Run& run, std::string_view candidate,
                   OnUntestable on_untestable = OnUntestable::PassOver) {
  std::string directory = normalize_separators(candidate);
  std::string test_path = directory + std::string(kUnitTable);
  run.console.write("testing ").write(test_path).end_line();
  const Existence found = test_existence(test_path);
  if (found == Existence::Untestable && on_untestable == OnUntestable::EndRun)
    throw Failure("EFOpenError", "Unable to open file \"" + test_path + "\"");
  if (found != Existence::Present) return false;
  run.data_directory = std::move(directory);
  return true;
}

// The argument as a directory: a slash is appended unless it already ends in a separator.
std::string argument_candidate(std::string argument) {
  const char last = argument.back();
  if (last != '/' && last != '\\') argument += '/';
  return argument;
}

bool search(Run& run, const Invocation& invocation) {
  if (invocation.first_argument && !invocation.first_argument->empty() &&
      try_candidate(run, argument_candidate(*invocation.first_argument), OnUntestable::EndRun))
    return true;
  if (invocation.home && !invocation.home->empty() &&
      try_candidate(run, *invocation.home + "/data4.x/"))
    return true;
  for (std::string_view candidate : candidate_directories)
    if (try_candidate(run, candidate)) return true;
  return false;
}

}  // namespace

std::string normalize_separators(std::string_view path) {
  std::string result(path);
  convert_separators(result);
  return result;
}

void find_data_directory(Run& run, const Invocation& invocation) {
  run.console.line("Finding data directory.");
  run.data_directory.clear();
  if (search(run, invocation)) {
    run.console.write("Using ").write(run.data_directory).end_line();
  } else {
    run.console.line("Coundn't find data directory.");
  }
}

}  // namespace unitcheck
