#include "server/content_change.h"

#include <algorithm>
#include <utility>

namespace unitcheck::server {
namespace {

std::optional<std::uint64_t> count_from_json(const Json& object, const char* key) {
  const auto at = object.find(key);
  if (at == object.end() || !at->is_number_unsigned()) return std::nullopt;
  return at->get<std::uint64_t>();
}

}  // namespace

std::optional<Position> position_from_json(const Json& value) {
  if (!value.is_object()) return std::nullopt;
  const std::optional<std::uint64_t> line = count_from_json(value, "line");
  const std::optional<std::uint64_t> character = count_from_json(value, "character");
  if (!line || !character) return std::nullopt;
  return Position{*line, *character};
}

std::string apply_content_change(TextDocument& document, Json& change, PositionEncoding encoding,
                                 std::optional<ChangedLines>& changed, const Message& message) {
  if (!change.is_object()) return "a content change that is not an object";
  const auto text = change.find("text");
  const SharedText* kept = text == change.end() ? nullptr : message_text(*text, message);
  if (text == change.end() || (!text->is_string() && !kept)) {
    return "a content change without a text";
  }
  const std::string_view replacement =
      kept ? kept->bytes : std::string_view(text->get_ref<const std::string&>());
  const auto range = change.find("range");
  if (range == change.end()) {
    document.replace_all(kept ? *kept : shared_text(std::move(text->get_ref<std::string&>())));
    changed.reset();
    return {};
  }
  if (!range->is_object() || !range->contains("start") || !range->contains("end")) {
    return "a content change whose range is not a range";
  }
  const std::optional<Position> start = position_from_json((*range)["start"]);
  const std::optional<Position> end = position_from_json((*range)["end"]);
  if (!start || !end) return "a content change whose range is not a range";
  std::size_t begin = document.offset_of(*start, encoding);
  std::size_t stop = document.offset_of(*end, encoding);
  if (begin > stop) std::swap(begin, stop);
  // The line before an edit at a line's beginning counts as changed too: its line end may now
  // join an inserted LF, or lose the LF that followed its CR.
  std::size_t first = document.line_of(begin);
  if (first > 0 && document.line_start(first) == begin) --first;
  const std::size_t removed = document.line_of(stop) - first + 1;
  document.replace(begin, stop, replacement);
  const std::size_t added = document.line_of(begin + replacement.size()) - first + 1;
  if (changed) changed = add_edit(*changed, first, removed, added);
  return {};
}

}  // namespace unitcheck::server
