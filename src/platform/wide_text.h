#pragma once

// Text at the edge of Windows, whose calls take UTF-16: the programs hold UTF-8 everywhere else.
// Used by the Windows forms of src/platform only.

#include <string>
#include <string_view>

namespace unitcheck {

// The UTF-8 text as UTF-16; bytes that are no UTF-8 become U+FFFD.
std::wstring wide_from_utf8(std::string_view text);
// The UTF-16 text as UTF-8; a lone surrogate becomes U+FFFD.
std::string utf8_from_wide(std::wstring_view text);

// The path as Windows is handed it: UTF-16 with backslashes. A path of 240 characters or more is
// made absolute and given the \\?\ form (\\?\UNC\ for \\server\share), which lifts the limit of
// 260 characters; "." and ".." are worked out first, as the \\?\ form takes every name as it is.
// Empty when the path cannot name a file: it holds a zero byte or bytes that are no UTF-8.
std::wstring system_path(std::string_view path);

// Whether the path reaches Windows's device namespace (\\.\COM1, \\.\PhysicalDrive0,
// \\?\GLOBALROOT\...) rather than a file on a drive or a share. A data file is never one.
bool names_device_namespace(std::wstring_view path);

// Whether the last name of the path is one that Windows keeps for a device whatever folder it
// is in: CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, CONIN$, CONOUT$, in any letter case,
// with or without an extension (NUL.mesh) or trailing dots and spaces.
bool ends_in_reserved_name(std::wstring_view path);

// The real path of what an opened handle (a HANDLE) reaches, as GetFinalPathNameByHandleW gives
// it: a drive letter or \\server\share, slashes, no \\?\; empty when it cannot be told.
std::string real_path_of_handle(void* handle);

// The text of a Windows error code: the words a POSIX system gives the same fault ("No such file
// or directory", "Permission denied", ...), so that messages are the same on both; the system's
// own words for the others.
std::string error_text(unsigned long code);

}  // namespace unitcheck
