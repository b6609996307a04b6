// Fuzzes convert_int64 and int_to_text against their contracts.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "convert_fuzz_checks.h"
#include "tables/convert.h"

using namespace unitcheck;
using unitcheck::fuzz::require;

namespace {

bool starts_with_blank_or_sign(std::string_view text) {
  return !text.empty() && (text[0] == ' ' || text[0] == '\t' || text[0] == '+' || text[0] == '-');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto result = convert_int64(text);
  fuzz::require_result_shape(text, result);
  fuzz::require_blank_shift(text, convert_int64);
  if (result.error_position != 0) return 0;
  // Decimal text of the value converts back to it.
  const auto back = convert_int64(int_to_text(result.value));
  require(back.error_position == 0 && back.value == result.value);
  // A minus sign in front negates the value, wrapping around in 64 bits.
  if (text.size() < 255 && !starts_with_blank_or_sign(text)) {
    std::string minus(1, '-');
    minus += text;
    const auto negated = convert_int64(minus);
    require(negated.error_position == 0);
    require(static_cast<std::uint64_t>(negated.value) ==
            0 - static_cast<std::uint64_t>(result.value));
  }
  return 0;
}
