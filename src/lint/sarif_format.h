#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "lint/format.h"

namespace unitcheck::lint {

// A SARIF 2.1.0 log of one run: every rule with its help and default level, then one result a
// line with its physical location. Columns count bytes, which is exact for ASCII lines; SARIF
// has no byte column kind, so the run declares code points.
std::unique_ptr<Format> make_sarif_format();

// A path as a URI: a relative path as a relative reference, an absolute one as a file URI
// (file:///...), every byte but unreserved ones and '/' percent-encoded.
std::string artifact_uri(std::string_view path);

}  // namespace unitcheck::lint
