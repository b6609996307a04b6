#pragma once

#include <memory>

#include "lint/format.h"

namespace unitcheck::lint {

// PATH:LINE:COL: error: MESSAGE [RULE], one finding a line, as compilers write them, a
// finding's notes after it (PATH:LINE:COL: note: ...), then the counts by rule of a report
// longer than a screen and the summary line. With color, the ANSI colors of compilers'
// diagnostics. COL counts bytes, as Vim does, or with char_columns code points, as VS Code and
// Emacs do.
std::unique_ptr<Format> make_text_format(bool color, bool char_columns = false);

}  // namespace unitcheck::lint
