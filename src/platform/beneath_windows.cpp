// Opening beneath a data directory on Windows.
//
// Windows has no walk from a folder's handle by relative names that refuses to leave it, so the
// name is opened as a path, links, junctions and other reparse points followed, and what was
// opened is kept only when its final path (GetFinalPathNameByHandleW, read from the handle, not
// from the name) lies under the directory's own. The file is then read, or the folder listed,
// through that same handle: a swap of a name for a junction between the test and the read
// changes nothing, since there is no second lookup of the name.
//
// Worked example: the directory is C:\mods\data (its final path C:/mods/data), and units\units.csv
// is a symbolic link to C:\secret\units.csv. CreateFileW follows the link and opens the secret
// file; its final path C:/secret/units.csv does not lie under C:/mods/data, so the handle is
// closed and the caller sees a missing file. Had the link led to C:\mods\data\old\units.csv, the
// handle would be kept, as a link that stays beneath is on Linux.
#include <windows.h>

#include <memory>
#include <string>

#include "platform/beneath.h"
#include "platform/file_system.h"
#include "platform/wide_text.h"

namespace unitcheck {

namespace {

struct HandleCloser {
  void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE as_handle(std::intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

// The handle of relative under the directory whose real path is root, opened with access and
// flags, links followed; kept only where links allow it. Nothing for a name that cannot name a
// file beneath anything, or that Windows keeps for a device.
Handle open_under(const std::string& root, std::string_view relative, DWORD access, DWORD flags,
                  Links links) {
  if (root.empty() || relative.starts_with('/') || relative.starts_with('\\') ||
      relative.find('\0') != std::string_view::npos || relative.find(':') != std::string_view::npos)
    return {};
  std::string path = root;
  if (!relative.empty()) {
    if (!path.ends_with('/')) path += '/';
    path += relative;
  }
  if (is_too_long_to_name(path)) return {};
  const std::wstring wide = system_path(path);
  if (wide.empty() || names_device_namespace(wide) || ends_in_reserved_name(wide)) return {};
  HANDLE opened = ::CreateFileW(wide.c_str(), access, kShareAll, nullptr, OPEN_EXISTING, flags,
                                nullptr);
  if (opened == INVALID_HANDLE_VALUE) return {};
  Handle handle(opened);
  // A pipe or a device has no final path on a volume: it is never a data file.
  if (::GetFileType(opened) != FILE_TYPE_DISK) return {};
  if (links == Links::Beneath && !lies_under(real_path_of_handle(opened), root)) return {};
  return handle;
}

// Calls on_name(name) for each entry of the opened folder but "." and "..", read from its handle.
template <class OnName>
void for_each_entry_of_handle(HANDLE folder, OnName&& on_name) {
  constexpr DWORD kBufferSize = 64 * 1024;
  // DWORD-aligned, as the records are.
  const auto buffer = std::make_unique_for_overwrite<DWORD[]>(kBufferSize / sizeof(DWORD));
  FILE_INFO_BY_HANDLE_CLASS kind = FileIdBothDirectoryRestartInfo;
  while (::GetFileInformationByHandleEx(folder, kind, buffer.get(), kBufferSize)) {
    kind = FileIdBothDirectoryInfo;
    const auto* bytes = reinterpret_cast<const char*>(buffer.get());
    for (;;) {
      const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(bytes);
      const std::wstring_view name(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
      if (name != L"." && name != L"..") on_name(utf8_from_wide(name));
      if (entry->NextEntryOffset == 0) break;
      bytes += entry->NextEntryOffset;
    }
  }
}

}  // namespace

OpenedFile& OpenedFile::operator=(OpenedFile&& other) noexcept {
  if (this != &other) {
    if (handle_ != kNone) ::CloseHandle(as_handle(handle_));
    handle_ = other.release();
  }
  return *this;
}

OpenedFile::~OpenedFile() {
  if (handle_ != kNone) ::CloseHandle(as_handle(handle_));
}

BeneathDirectory::BeneathDirectory(const std::string& path) {
  const std::wstring wide = system_path(path.empty() ? "." : path);
  if (wide.empty() || names_device_namespace(wide) || ends_in_reserved_name(wide)) return;
  HANDLE opened = ::CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (opened == INVALID_HANDLE_VALUE) return;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(opened, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    ::CloseHandle(opened);
    return;
  }
  handle_ = reinterpret_cast<std::intptr_t>(opened);
  real_path_ = real_path_of_handle(opened);
}

BeneathDirectory::BeneathDirectory(BeneathDirectory&& other) noexcept
    : handle_(other.handle_), real_path_(std::move(other.real_path_)) {
  other.handle_ = OpenedFile::kNone;
}

BeneathDirectory& BeneathDirectory::operator=(BeneathDirectory&& other) noexcept {
  if (this != &other) {
    if (handle_ != OpenedFile::kNone) ::CloseHandle(as_handle(handle_));
    handle_ = other.handle_;
    real_path_ = std::move(other.real_path_);
    other.handle_ = OpenedFile::kNone;
  }
  return *this;
}

BeneathDirectory::~BeneathDirectory() {
  if (handle_ != OpenedFile::kNone) ::CloseHandle(as_handle(handle_));
}

OpenedFile BeneathDirectory::open_file(std::string_view relative, Links links) const {
  if (!is_open()) return {};
  // Without FILE_FLAG_BACKUP_SEMANTICS a folder does not open: it is no file to read.
  Handle file = open_under(real_path_, relative, GENERIC_READ, FILE_FLAG_SEQUENTIAL_SCAN, links);
  return file ? OpenedFile(reinterpret_cast<std::intptr_t>(file.release())) : OpenedFile();
}

std::vector<std::string> BeneathDirectory::folder_entry_names(std::string_view relative,
                                                              Links links) const {
  std::vector<std::string> names;
  if (!is_open()) return names;
  const Handle folder = open_under(real_path_, relative, FILE_LIST_DIRECTORY | SYNCHRONIZE,
                                   FILE_FLAG_BACKUP_SEMANTICS, links);
  if (!folder) return names;
  for_each_entry_of_handle(folder.get(), [&](std::string name) { names.push_back(std::move(name)); });
  return names;
}

EntryKind BeneathDirectory::entry_kind(std::string_view relative, Links links) const {
  if (!is_open()) return EntryKind::Missing;
  const Handle entry =
      open_under(real_path_, relative, FILE_READ_ATTRIBUTES, FILE_FLAG_BACKUP_SEMANTICS, links);
  BY_HANDLE_FILE_INFORMATION info{};
  if (!entry || !::GetFileInformationByHandle(entry.get(), &info)) return EntryKind::Missing;
  return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EntryKind::Directory
                                                                 : EntryKind::Other;
}

}  // namespace unitcheck
