#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstring>

#include "platform/console.h"
#include "platform/failure.h"
#include "platform/wide_text.h"

namespace unitcheck {

namespace {

HANDLE handle_of(int fd) {
  return reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
}

bool is_console(HANDLE handle) {
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode);
}

// How many bytes at the end of text begin a UTF-8 character that they do not finish.
std::size_t unfinished_tail(std::string_view text) {
  for (std::size_t back = 1; back <= 3 && back <= text.size(); ++back) {
    const auto byte = static_cast<unsigned char>(text[text.size() - back]);
    if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
    return length > back ? back : 0;
  }
  return 0;
}

[[noreturn]] void refuse(const std::string& reason) {
  throw Failure("EInOutError", "Write error on standard output: " + reason);
}

void write_bytes(HANDLE handle, std::string_view text) {
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) refuse(std::strerror(EBADF));
  while (!text.empty()) {
    DWORD put = 0;
    const auto piece = static_cast<DWORD>(std::min<std::size_t>(text.size(), 1u << 30));
    if (!::WriteFile(handle, text.data(), piece, &put, nullptr))
      refuse(error_text(::GetLastError()));
    if (put == 0) refuse("nothing written");
    text.remove_prefix(put);
  }
}

void write_characters(HANDLE handle, std::wstring_view text) {
  while (!text.empty()) {
    DWORD put = 0;
    // Consoles have taken no more than 64 KiB per call.
    const auto piece = static_cast<DWORD>(std::min<std::size_t>(text.size(), 8192));
    if (!::WriteConsoleW(handle, text.data(), piece, &put, nullptr))
      refuse(error_text(::GetLastError()));
    if (put == 0) refuse("nothing written");
    text.remove_prefix(put);
  }
}

}  // namespace

Console Console::standard_output() {
  // On Windows the terminal whose lines are flushed as they end is the console, which is also
  // the one stream written as characters rather than bytes.
  Console console(1, is_console(handle_of(1)));
  console.buffer_.reserve(kBufferLimit);
  return console;
}

void Console::write_out(std::string_view text) {
  const HANDLE handle = handle_of(fd_);
  if (!flush_each_line_) {
    write_bytes(handle, text);
    return;
  }
  // A console shows characters: the UTF-8 is handed over as UTF-16, whatever its code page, and
  // a character cut by the buffer waits for its rest.
  std::string whole = std::move(carry_);
  carry_.clear();
  whole.append(text);
  const std::size_t tail = unfinished_tail(whole);
  carry_.assign(whole, whole.size() - tail, tail);
  whole.resize(whole.size() - tail);
  write_characters(handle, wide_from_utf8(whole));
}

}  // namespace unitcheck
