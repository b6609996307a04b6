#pragma once

namespace unitcheck {

class Console;
class Failure;

// Writes the report of a failure that ended the run: where it happened, its kind and message,
// the return addresses, and an empty line. A console that cannot write any more stays silent.
void report_failure(const Failure& failure, Console& console);

}  // namespace unitcheck
