#include <windows.h>

#include <cerrno>
#include <cstring>

#include "platform/wide_text.h"

namespace unitcheck {

namespace {

// Below this many UTF-16 units a path needs no \\?\ form: MAX_PATH (260) less room for the
// names that a caller appends (an 8.3 name, "\*").
constexpr std::size_t kShortPathLimit = 240;

bool is_valid_utf8(std::string_view text) {
  return text.empty() || ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                               static_cast<int>(text.size()), nullptr, 0) > 0;
}

}  // namespace

std::wstring wide_from_utf8(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int units = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), units);
  return wide;
}

std::string utf8_from_wide(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int bytes =
      ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<std::size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, narrow.data(), bytes, nullptr, nullptr);
  return narrow;
}

std::wstring system_path(std::string_view path) {
  if (path.find('\0') != std::string_view::npos || !is_valid_utf8(path)) return {};
  std::wstring wide = wide_from_utf8(path);
  for (wchar_t& c : wide) {
    if (c == L'/') c = L'\\';
  }
  if (wide.size() < kShortPathLimit || wide.starts_with(LR"(\\?\)")) return wide;
  // GetFullPathNameW takes paths of any length and works out "." and "..".
  const DWORD needed = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return wide;
  std::wstring full(needed, L'\0');
  const DWORD used = ::GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
  if (used == 0 || used >= needed) return wide;
  full.resize(used);
  if (full.starts_with(LR"(\\.\)")) return full;  // the device namespace stays as it is
  if (full.starts_with(LR"(\\)")) return LR"(\\?\UNC\)" + full.substr(2);
  return LR"(\\?\)" + full;
}

bool names_device_namespace(std::wstring_view path) {
  const auto is_separator = [](wchar_t c) { return c == L'\\' || c == L'/'; };
  if (path.size() < 4 || !is_separator(path[0]) || !is_separator(path[1]) || !is_separator(path[3]))
    return false;
  if (path[2] == L'.') return true;  // \\.\ names devices
  if (path[2] != L'?') return false;
  // \\?\ is a file on a drive (\\?\C:\) or a share (\\?\UNC\) or nothing of ours.
  const std::wstring_view rest = path.substr(4);
  if (rest.size() >= 3 && rest[1] == L':' && is_separator(rest[2])) return false;
  if (rest.size() >= 4 && (rest[0] == L'U' || rest[0] == L'u') &&
      (rest[1] == L'N' || rest[1] == L'n') && (rest[2] == L'C' || rest[2] == L'c') &&
      is_separator(rest[3]))
    return false;
  return true;
}

bool ends_in_reserved_name(std::wstring_view path) {
  const std::size_t slash = path.find_last_of(L"\\/:");
  std::wstring_view name = slash == std::wstring_view::npos ? path : path.substr(slash + 1);
  name = name.substr(0, name.find(L'.'));
  while (!name.empty() && name.back() == L' ') name.remove_suffix(1);
  std::wstring upper(name);
  for (wchar_t& c : upper) {
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
  }
  if (upper == L"CON" || upper == L"PRN" || upper == L"AUX" || upper == L"NUL" ||
      upper == L"CONIN$" || upper == L"CONOUT$")
    return true;
  // COM and LPT with a digit 1 to 9, or a superscript one, two or three.
  return upper.size() == 4 && (upper.starts_with(L"COM") || upper.starts_with(L"LPT")) &&
         ((upper[3] >= L'1' && upper[3] <= L'9') || upper[3] == L'\u00B9' ||
          upper[3] == L'\u00B2' || upper[3] == L'\u00B3');
}

std::string error_text(unsigned long code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_DIRECTORY:
      return std::strerror(ENOENT);
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return std::strerror(EACCES);
    case ERROR_FILENAME_EXCED_RANGE:
      return std::strerror(ENAMETOOLONG);
    case ERROR_CANT_RESOLVE_FILENAME:
      return std::strerror(ELOOP);
    case ERROR_BROKEN_PIPE:
    case ERROR_NO_DATA:
      return std::strerror(EPIPE);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return std::strerror(ENOSPC);
    case ERROR_INVALID_HANDLE:
      return std::strerror(EBADF);
    default:
      break;
  }
  wchar_t* words = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&words),
      0, nullptr);
  std::string text;
  if (length != 0 && words != nullptr) {
    std::wstring_view view(words, length);
    while (!view.empty() && (view.back() == L'\n' || view.back() == L'\r' || view.back() == L'.'))
      view.remove_suffix(1);
    text = utf8_from_wide(view);
  }
  if (words != nullptr) ::LocalFree(words);
  return text.empty() ? "Windows error " + std::to_string(code) : text;
}

}  // namespace unitcheck
