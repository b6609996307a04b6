// Fuzzes convert_float and float_error_position against their contracts and against the
// 64-bit integer conversion of plain decimal text.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "convert_fuzz_checks.h"
#include "tables/convert.h"

using namespace unitcheck;
using unitcheck::fuzz::require;

namespace {

// Blanks, signs and decimal digits only: text that both conversions read alike.
bool is_plain_decimal(std::string_view text) {
  for (const char c : text) {
    if (!(c == ' ' || c == '\t' || c == '+' || c == '-' || (c >= '0' && c <= '9'))) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto result = convert_float(text);
  fuzz::require_result_shape(text, result);
  fuzz::require_blank_shift(text, convert_float);
  require(float_error_position(text) == result.error_position);
  require(!std::isnan(result.value));
  if (result.error_position == 0 && text.find_first_of("Ee") == std::string_view::npos) {
    require(std::isfinite(result.value));  // 255 digits stay far below the largest double
  }
  if (is_plain_decimal(text)) {
    // An integer below 2^64 is exact in extended precision, so both round alike.
    const auto integer = convert_int64(text);
    if (integer.error_position == 0) {
      require(result.error_position == 0);
      require(result.value == static_cast<double>(integer.value));
    }
  }
  return 0;
}
