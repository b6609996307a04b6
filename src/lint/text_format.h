#pragma once

#include <memory>

#include "lint/format.h"

namespace unitcheck::lint {

// PATH:LINE:COL: error: MESSAGE [RULE], one finding a line, as compilers write them, then the
// summary line. With color, the ANSI colors of compilers' diagnostics.
std::unique_ptr<Format> make_text_format(bool color);

}  // namespace unitcheck::lint
