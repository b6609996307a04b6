#include "csv/byte_scan.h"

#include <cstdlib>

namespace unitcheck {

BlockForm block_form_of_environment() {
  return block_form_from(std::getenv("UNITCHECK_BLOCK_FORM"));
}

}  // namespace unitcheck
