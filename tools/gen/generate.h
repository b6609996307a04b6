#pragma once

#include <cstdint>
#include <filesystem>

#include "gen/fault_tally.h"

namespace unitcheck::gen {

struct GenOptions {
  std::uint64_t random_state = 1;
  long rows = 1000;
  int parts = 1500;
  int directories = 2000;  // distinct unit directories at most; rows share them
  double missing_share = 0.02;
  double fault_share = 0.01;
};

struct GenSummary {
  long rows = 0;
  std::uint64_t unit_table_bytes = 0;
  int parts = 0;
  int directories = 0;
  FaultTally expected;  // the diagnostic lines the validator should print
};

// The unit directories actually made: one per row at most, never more than asked for.
int directory_count(const GenOptions& options);

// Writes a complete data directory under out (created if needed): master_part_list.csv,
// units/units.csv, the unit directories with their files, cockpits/ and meshes/. The same
// options always give the same bytes.
GenSummary generate_data(const GenOptions& options, const std::filesystem::path& out);

}  // namespace unitcheck::gen
