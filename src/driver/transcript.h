#pragma once

#include <string>
#include <string_view>

#include "validate/finding.h"

namespace unitcheck {

class Console;
struct UnitHeader;

// The transcript's wording of what the checks find: every diagnostic line in one place, in
// transcript order. The checks decide whether and which; this decides how it reads.
class TranscriptWriter final : public FindingWriter {
 public:
  explicit TranscriptWriter(Console& console) : console_(console) {}

  // One line per finding, ended by a line feed.
  void render(const Finding& finding, std::string& text, RenderState& state) const override;
  void write(std::string_view text) override;

 private:
  Console& console_;
};

// The header's lines: "Unknown fields: ", then the unknown column names or " .. None.".
void write_unknown_fields(Console& console, const UnitHeader& header);

}  // namespace unitcheck
