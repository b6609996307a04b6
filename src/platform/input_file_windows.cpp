#include <windows.h>

#include <algorithm>
#include <utility>

#include "platform/input_file.h"
#include "platform/wide_text.h"

namespace unitcheck {

InputFile::InputFile(std::string path) : path_(std::move(path)) {
  const std::wstring wide = system_path(path_);
  // \\.\ and \\?\GLOBALROOT reach devices (a whole disk among them) that would read as files.
  if (wide.empty() || names_device_namespace(wide) || ends_in_reserved_name(wide)) fail();
  HANDLE handle = ::CreateFileW(wide.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  handle_ = handle == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<std::intptr_t>(handle);
  take_opened();
}

InputFile::InputFile(std::string path, OpenedFile file)
    : path_(std::move(path)), handle_(file.release()) {
  take_opened();
}

void InputFile::take_opened() {
  if (handle_ == -1) fail();
  const auto handle = reinterpret_cast<HANDLE>(handle_);
  // A reserved name (CON, NUL, COM1, NUL.mesh) opens a device, never a data file: refused as a
  // FIFO is elsewhere. So is a pipe.
  LARGE_INTEGER size{};
  BY_HANDLE_FILE_INFORMATION info{};
  if (::GetFileType(handle) != FILE_TYPE_DISK || !::GetFileInformationByHandle(handle, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || !::GetFileSizeEx(handle, &size)) {
    ::CloseHandle(handle);  // no destructor runs for a constructor that throws
    handle_ = -1;
    fail();
  }
  size_ = static_cast<std::size_t>(size.QuadPart);
}

InputFile::~InputFile() {
  if (handle_ != -1) ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

std::size_t InputFile::read(char* buffer, std::size_t size) {
  DWORD got = 0;
  const auto asked = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
  if (!::ReadFile(reinterpret_cast<HANDLE>(handle_), buffer, asked, &got, nullptr)) fail();
  offset_ += got;
  return got;
}

}  // namespace unitcheck
