#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace unitcheck::server {

// How a position's character counts along its line, as agreed with the client in initialize.
enum class PositionEncoding : std::uint8_t { Utf8, Utf16 };

std::string_view encoding_name(PositionEncoding encoding);

// A place in a document as the protocol gives it: 0-based line, and the count of code units of
// the encoding before it on that line.
struct Position {
  std::uint64_t line = 0;
  std::uint64_t character = 0;
  friend bool operator==(const Position&, const Position&) = default;
};

// Counting UTF-16 code units along a line of bytes. A well-formed UTF-8 character counts one
// unit, or two (a surrogate pair) above U+FFFF; a byte that begins no well-formed character
// counts one, as a decoder that replaces it with U+FFFD counts it. A count or byte that falls
// inside a character stands for the character's beginning.
//
// A walk may go on from where an earlier one on the same line stopped: the findings of one
// line, converted in order, cost one walk along it, however long the line. Plain ASCII is
// passed eight bytes at a time.
struct Utf16Walk {
  std::size_t byte = 0;     // a character boundary of the line
  std::uint64_t units = 0;  // the units before it
};

// The units before byte of line (clamped to the line), going on from walk when it lies at or
// before byte; walk is left at the result.
std::uint64_t utf16_units_before(std::string_view line, std::size_t byte, Utf16Walk& walk);
// The byte of line at which units code units have passed (the line's length when it has fewer),
// going on from walk when it lies at or before that place; walk is left at the result.
std::size_t byte_at_utf16_units(std::string_view line, std::uint64_t units, Utf16Walk& walk);

}  // namespace unitcheck::server
