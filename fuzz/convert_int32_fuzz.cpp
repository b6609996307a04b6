// Fuzzes convert_int32 against its contract and against the 64-bit conversion.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "convert_fuzz_checks.h"
#include "tables/convert.h"

using namespace unitcheck;
using unitcheck::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto narrow = convert_int32(text);
  const auto wide = convert_int64(text);
  fuzz::require_result_shape(text, narrow);
  fuzz::require_blank_shift(text, convert_int32);
  if (narrow.error_position == 0) {
    // The same digits fit 64 bits, with the same low 32 bits.
    require(wide.error_position == 0);
    require(static_cast<std::uint32_t>(wide.value) == static_cast<std::uint32_t>(narrow.value));
    const auto back = convert_int32(int_to_text(narrow.value));
    require(back.error_position == 0 && back.value == narrow.value);
  } else if (wide.error_position != 0) {
    // The narrower limit stops the conversion no later.
    require(narrow.error_position <= wide.error_position);
  }
  return 0;
}
