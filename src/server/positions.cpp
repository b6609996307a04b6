#include "server/positions.h"

#include <cstring>

#include "lint/utf8.h"

namespace unitcheck::server {
namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080u;

bool ascii_block(std::string_view line, std::size_t at) {
  std::uint64_t block = 0;
  std::memcpy(&block, line.data() + at, sizeof block);
  return (block & kHighBits) == 0;
}

// The character at byte at of line: its length in bytes and in UTF-16 units.
struct CharSize {
  std::size_t bytes;
  std::uint64_t units;
};
CharSize char_size_at(std::string_view line, std::size_t at) {
  if (static_cast<unsigned char>(line[at]) < 0x80) return {1, 1};
  const lint::Utf8Char c = lint::first_utf8_char(line.substr(at, 4));
  if (c.length == 0) return {1, 1};
  return {c.length, c.code_point > 0xFFFF ? 2u : 1u};
}

// Starts from walk when it can go on from it, else from the line's beginning.
void rewind_unless_before(Utf16Walk& walk, std::size_t byte, std::uint64_t units, bool by_byte) {
  if (by_byte ? walk.byte > byte : walk.units > units) walk = Utf16Walk{};
}

}  // namespace

std::string_view encoding_name(PositionEncoding encoding) {
  return encoding == PositionEncoding::Utf8 ? "utf-8" : "utf-16";
}

std::uint64_t utf16_units_before(std::string_view line, std::size_t byte, Utf16Walk& walk) {
  if (byte > line.size()) byte = line.size();
  rewind_unless_before(walk, byte, 0, true);
  std::size_t at = walk.byte;
  std::uint64_t units = walk.units;
  while (at < byte) {
    if (at + 8 <= byte && ascii_block(line, at)) {
      at += 8;
      units += 8;
      continue;
    }
    const CharSize size = char_size_at(line, at);
    if (at + size.bytes > byte) break;
    at += size.bytes;
    units += size.units;
  }
  walk = Utf16Walk{at, units};
  return units;
}

std::size_t byte_at_utf16_units(std::string_view line, std::uint64_t units, Utf16Walk& walk) {
  rewind_unless_before(walk, 0, units, false);
  std::size_t at = walk.byte;
  std::uint64_t counted = walk.units;
  while (at < line.size() && counted < units) {
    if (at + 8 <= line.size() && counted + 8 <= units && ascii_block(line, at)) {
      at += 8;
      counted += 8;
      continue;
    }
    const CharSize size = char_size_at(line, at);
    if (counted + size.units > units) break;
    at += size.bytes;
    counted += size.units;
  }
  walk = Utf16Walk{at, counted};
  return at;
}

}  // namespace unitcheck::server
