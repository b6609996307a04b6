#include "driver/failure_report.h"

#include <cstdint>

#include "platform/console.h"
#include "platform/failure.h"

namespace unitcheck {

namespace {

// "$" and the low 32 bits of a code address in eight upper-case hexadecimal digits.
std::string hex_address(std::uintptr_t address) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text = "$00000000";
  for (int i = 8; i >= 1; --i) {
    text[static_cast<std::size_t>(i)] = kDigits[address & 0xF];
    address >>= 4;
  }
  return text;
}

}  // namespace

void report_failure(const Failure& failure, Console& console) {
  const auto& addresses = failure.addresses();
  try {
    // Whatever a failed write left in the buffer is lost; the report starts cleanly.
    if (failure.kind() == "EInOutError") console.discard();
    // A line cut short by the failure (memory ran out while it was built) is ended first.
    console.finish_line();
    console.write("An unhandled exception occurred at ")
        .write(hex_address(addresses.empty() ? 0 : addresses.front()))
        .write(" :");
    console.end_line();
    console.write(failure.kind()).write(" : ").write(failure.message());
    console.end_line();
    for (std::uintptr_t address : addresses)
      console.write("  ").write(hex_address(address)).end_line();
    console.end_line();
    console.flush();
  } catch (const Failure&) {
    // Standard output refuses to be written: there is nobody left to tell.
    console.discard();
  }
}

}  // namespace unitcheck
