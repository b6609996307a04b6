#pragma once

namespace unitcheck {

// Makes the whole pages inside [begin, end) ready for writing, without changing a byte of them
// (Linux's madvise MADV_POPULATE_WRITE); false when the system has no such call. Memory that
// cannot be made is left for the writer's own faults.
bool populate_for_writing(char* begin, char* end);

}  // namespace unitcheck
