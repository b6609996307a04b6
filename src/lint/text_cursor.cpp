#include "lint/text_cursor.h"

#include <algorithm>

namespace unitcheck::lint {

void TextCursor::make_room(std::size_t bytes) {
  // The room is filled with zeros as it is made: made in steps of some hundreds of bytes, about
  // what a finding's document or message takes.
  constexpr std::size_t kStep = 256;
  const std::size_t used = cursor_ == nullptr ? out_.size() : this->used();
  out_.resize(used + std::max(bytes, kStep));
  cursor_ = out_.data() + used;
  end_ = out_.data() + out_.size();
}

}  // namespace unitcheck::lint
