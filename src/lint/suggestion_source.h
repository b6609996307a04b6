#pragma once

#include <string>
#include <string_view>

namespace unitcheck::lint {

// Where "did you mean" comes from: the name nearest a missing one, among the names the data
// offers. Each answer is empty when no name is near. Asked from any thread while findings are
// enriched; the data check implements it (SuggestionLists over the part list and the folders).
class SuggestionSource {
 public:
  virtual std::string unit_directory(std::string_view value) const = 0;
  virtual std::string cockpit(std::string_view value) const = 0;
  // A mesh file missing from folder (the unit's directory, as searched) and from meshes/.
  virtual std::string mesh(std::string_view value, std::string_view folder) const = 0;
  virtual std::string category(std::string_view value) const = 0;
  virtual std::string part_name(std::string_view value) const = 0;

 protected:
  ~SuggestionSource() = default;
};

}  // namespace unitcheck::lint
