#include "driver/run.h"

#include <memory>
#include <new>
#include <string>

#include "driver/data_directory.h"
#include "driver/failure_report.h"
#include "driver/transcript.h"
#include "platform/beneath.h"
#include "platform/failure.h"
#include "platform/input_file.h"
#include "tables/max_lengths.h"
#include "tables/schemas.h"
#include "validate/check_unit_rows.h"
#include "validate/part_list.h"
#include "validate/unit_header.h"

namespace unitcheck {

namespace {

// The validation stage, with its progress lines: the part list, the unit table's header, its
// rows. Returns the longest texts seen.
MaxLengths validate(Console& console, const Tables& schemas, const std::string& data_directory,
                    unsigned worker_threads) {
  console.line("Parser Begins");
  // The data files are opened from the directory's handle, by a walk that cannot leave it: a
  // link in the mod, or one swapped in while the run goes on, shows no other file.
  const BeneathDirectory opened(data_directory);
  const std::string part_list_path = data_directory + "master_part_list.csv";
  console.write("Processing ").write(part_list_path).write(" no error checks -");
  // The stages' large values live on the heap: the stack, as small as the user's limit makes
  // it, is left to the first thread start, whose lazy symbol lookup saves every vector
  // register on it.
  InputFile part_list_file(part_list_path, opened.open_file("master_part_list.csv"));
  const auto part_list = std::make_unique<const PartList>(read_whole_file(part_list_file));
  console.write(" Done.").end_line();

  const std::string unit_table_path = data_directory + "units" + "/" + "units.csv";
  console.write("Reading ").write(unit_table_path).end_line();
  auto [header, rows] = read_unit_header(UnitChunkReader(std::make_unique<InputFile>(
                                             unit_table_path, opened.open_file("units/units.csv"))),
                                         schemas);
  console.line("Header Read");
  write_unknown_fields(console, header);
  console.line("Header Processed.");

  TranscriptWriter writer(console);
  UnitRows checked =
      check_unit_rows(header, rows, *part_list, data_directory, writer, worker_threads);
  console.line("Database processed.");
  return std::move(checked.max_lengths);
}

void run_stages(Console& console, const Invocation& invocation) {
  const auto schemas = std::make_unique<Tables>();
  create_tables(*schemas);
  const std::string data_directory = find_data_directory(console, invocation);
  const MaxLengths max_lengths =
      data_directory.empty()
          ? MaxLengths()
          : validate(console, *schemas, data_directory, invocation.worker_threads);
  print_max_field_lengths(max_lengths, console);
}

}  // namespace

int run_program(Console& console, const Invocation& invocation) {
  try {
    run_stages(console, invocation);
    console.flush();
    return 0;
  } catch (const Failure& failure) {
    // The stages' state is released on the way out; then the report is written.
    report_failure(failure, console);
    return kExitFailure;
  } catch (const std::bad_alloc&) {
    // Input too large for the memory at hand ends the run like any other failure, not with an
    // abort; the stages' state is already released, so the report has room to be written.
    report_failure(Failure("EOutOfMemory", "Out of memory"), console);
    return kExitFailure;
  }
}

}  // namespace unitcheck
