#include <windows.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string_view>

#include "platform/file_system.h"
#include "platform/wide_text.h"

namespace unitcheck {

namespace {

struct HandleCloser {
  void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

// Opens the entry at path for asking about it, following links and junctions; a folder too
// (FILE_FLAG_BACKUP_SEMANTICS). Nothing is read. Empty, with the error set, when it does not open.
Handle open_entry(const std::wstring& path) {
  if (path.empty()) {
    ::SetLastError(ERROR_INVALID_NAME);
    return {};
  }
  HANDLE handle = ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return {};
  return Handle(handle);
}

bool is_missing_error(DWORD code) {
  return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ||
         code == ERROR_INVALID_NAME || code == ERROR_BAD_NETPATH || code == ERROR_BAD_NET_NAME ||
         code == ERROR_INVALID_DRIVE || code == ERROR_DIRECTORY;
}

// The attributes of what path names, links and junctions followed; false when there is nothing
// or it cannot be asked. Most entries are no reparse point: their attributes need no opening.
bool followed_attributes(const std::string& path, DWORD& attributes, DWORD& error) {
  const std::wstring wide = system_path(path);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  // A reserved name is a device in any folder, never an entry of the folder.
  if (wide.empty() || names_device_namespace(wide) || ends_in_reserved_name(wide)) {
    error = ERROR_FILE_NOT_FOUND;
    return false;
  }
  if (!::GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data)) {
    error = ::GetLastError();
    return false;
  }
  attributes = data.dwFileAttributes;
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return true;
  const Handle entry = open_entry(wide);
  BY_HANDLE_FILE_INFORMATION info{};
  if (!entry || !::GetFileInformationByHandle(entry.get(), &info)) {
    error = ::GetLastError();
    return false;
  }
  attributes = info.dwFileAttributes;
  return true;
}

// Calls on_entry(name, attributes) for each entry of the folder but "." and "..".
template <class OnEntry>
void for_each_folder_entry(const std::string& path, OnEntry&& on_entry) {
  std::wstring pattern = system_path(path);
  if (pattern.empty() || names_device_namespace(pattern)) return;
  if (!pattern.ends_with(L'\\')) pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW found{};
  HANDLE search = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring_view name = found.cFileName;
    if (name != L"." && name != L"..") on_entry(utf8_from_wide(name), found.dwFileAttributes);
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
}

// The final path of an opened entry, as GetFinalPathNameByHandleW gives it, without its \\?\.
std::wstring final_path(HANDLE handle) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD used =
        ::GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()),
                                    FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (used == 0) return {};
    if (used < path.size()) {
      path.resize(used);
      break;
    }
    path.resize(used);  // too small: used is the size needed, its zero included
  }
  if (path.starts_with(LR"(\\?\UNC\)")) return LR"(\\)" + path.substr(8);
  if (path.starts_with(LR"(\\?\)")) return path.substr(4);
  return path;
}

}  // namespace

std::string real_path_of_handle(void* handle) {
  std::string real = utf8_from_wide(final_path(handle));
  convert_separators(real);
  return real;
}

bool exists(const std::string& path) {
  return test_existence(path) == Existence::Present;
}

Existence test_existence(const std::string& path) {
  if (is_too_long_to_name(path)) return Existence::Untestable;
  DWORD attributes = 0;
  DWORD error = 0;
  if (followed_attributes(path, attributes, error)) return Existence::Present;
  return is_missing_error(error) ? Existence::Missing : Existence::Untestable;
}

bool is_directory(const std::string& path) {
  DWORD attributes = 0;
  DWORD error = 0;
  return !is_too_long_to_name(path) && followed_attributes(path, attributes, error) &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::vector<std::string> folder_entry_names(const std::string& path) {
  std::vector<std::string> names;
  for_each_folder_entry(path, [&](std::string name, DWORD) { names.push_back(std::move(name)); });
  return names;
}

std::vector<std::string> maybe_link_names(const std::string& path) {
  // Symbolic links, junctions and every other reparse point: each may lead elsewhere.
  std::vector<std::string> names;
  for_each_folder_entry(path, [&](std::string name, DWORD attributes) {
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) names.push_back(std::move(name));
  });
  return names;
}

std::string path_from_user(std::string_view path) {
  std::string held(path);
  convert_separators(held);
  return held;
}

std::string lexically_normal_path(std::string_view path) {
  const std::u8string_view bytes(reinterpret_cast<const char8_t*>(path.data()), path.size());
  const std::u8string normal = std::filesystem::path(bytes).lexically_normal().generic_u8string();
  return std::string(reinterpret_cast<const char*>(normal.data()), normal.size());
}

std::string real_path(const std::string& path) {
  const std::wstring wide = system_path(path);
  if (wide.empty() || names_device_namespace(wide) || ends_in_reserved_name(wide)) return {};
  const Handle entry = open_entry(wide);
  if (!entry) return {};
  return real_path_of_handle(entry.get());
}

std::string why_not_readable(const std::string& path) {
  const std::wstring wide = system_path(path);
  if (wide.empty()) return error_text(ERROR_FILE_NOT_FOUND);
  if (names_device_namespace(wide) || ends_in_reserved_name(wide)) return "Not a regular file";
  HANDLE handle = ::CreateFileW(wide.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    // Windows says a path through a file is not found; POSIX systems say "Not a directory".
    if (error == ERROR_PATH_NOT_FOUND || error == ERROR_DIRECTORY) {
      for (std::string folder = path; !folder.empty();) {
        const std::size_t slash = folder.find_last_of("/\\");
        if (slash == std::string::npos || slash == 0) break;
        folder.resize(slash);
        DWORD attributes = 0;
        DWORD ignored = 0;
        if (!followed_attributes(folder, attributes, ignored)) continue;
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return std::strerror(ENOTDIR);
        break;
      }
    }
    return error_text(error);
  }
  const Handle file(handle);
  // A reserved name (NUL, CON, COM1, NUL.mesh) opens a device, and a pipe is no file either.
  if (::GetFileType(handle) != FILE_TYPE_DISK) return "Not a regular file";
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(handle, &info)) return error_text(::GetLastError());
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return "Is a directory";
  return {};
}

LinkState link_state(const std::string& path) {
  const std::wstring wide = system_path(path);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (wide.empty() || names_device_namespace(wide) || ends_in_reserved_name(wide) ||
      !::GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data))
    return LinkState::Missing;
  return (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ? LinkState::Link
                                                                     : LinkState::Entry;
}

}  // namespace unitcheck
