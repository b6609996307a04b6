#pragma once

#include <cstdint>
#include <string_view>

#include "lint/render_scratch.h"

namespace unitcheck::lint {

// The 1-based column, counted in code points, of the byte at 1-based byte_column of line. A
// byte that does not begin a well-formed UTF-8 sequence counts as one code point, as a decoder
// that keeps undecodable bytes counts it. place remembers how far the line was counted: asked
// again for the same line at or after that place, the count goes on from there, so that the
// findings of one line, asked in order, cost one walk along it.
std::int64_t code_point_column(std::string_view line, std::int64_t byte_column, LinePlace& place);

}  // namespace unitcheck::lint
