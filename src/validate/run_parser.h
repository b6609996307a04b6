#pragma once

namespace unitcheck {

struct Run;

// The validation stage: loads the master part list, builds the category list, maps the unit
// table's header and checks every unit line.
void run_parser(Run& run);

}  // namespace unitcheck
