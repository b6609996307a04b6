#include <io.h>
#include <windows.h>

#include "platform/byte_channel.h"

namespace unitcheck {

namespace {

HANDLE handle_of(int fd) {
  return reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
}

// How long interrupt() keeps cancelling a read that has not started waiting yet.
constexpr int kCancelTries = 1000;

}  // namespace

// wake_[0] holds a handle of the thread in read(), wake_[1] whether it is reading.
FdSource::FdSource(int fd) : fd_(fd) {}

FdSource::~FdSource() = default;

void FdSource::interrupt() {
  interrupted_ = true;
  // The reader may be between its look at the flag and its ReadFile: a cancellation then finds
  // nothing to cancel, so it is made again until the reader is out of read().
  for (int tries = 0; tries < kCancelTries; ++tries) {
    {
      const std::lock_guard lock(reading_);
      if (wake_[1] == 0) return;
      ::CancelSynchronousIo(reinterpret_cast<HANDLE>(wake_[0]));
    }
    ::Sleep(1);
  }
}

std::size_t FdSource::read(std::span<char> buffer) {
  const HANDLE input = handle_of(fd_);
  if (input == INVALID_HANDLE_VALUE) return 0;
  HANDLE self = nullptr;
  if (!::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentThread(), ::GetCurrentProcess(), &self,
                         THREAD_TERMINATE, FALSE, 0))
    self = nullptr;
  {
    const std::lock_guard lock(reading_);
    if (interrupted_) {
      if (self != nullptr) ::CloseHandle(self);
      return 0;
    }
    wake_[0] = reinterpret_cast<std::intptr_t>(self);
    wake_[1] = 1;
  }
  DWORD got = 0;
  const auto asked = static_cast<DWORD>(std::min<std::size_t>(buffer.size(), 1u << 30));
  // A pipe whose writer is gone (ERROR_BROKEN_PIPE) and a cancelled read both end the input.
  const bool read = ::ReadFile(input, buffer.data(), asked, &got, nullptr) != 0;
  {
    const std::lock_guard lock(reading_);
    wake_[1] = 0;
    wake_[0] = -1;
  }
  if (self != nullptr) ::CloseHandle(self);
  if (!read || interrupted_) return 0;
  return got;
}

bool FdSink::write(std::string_view bytes) {
  const HANDLE output = handle_of(fd_);
  if (output == INVALID_HANDLE_VALUE) return false;
  while (!bytes.empty()) {
    DWORD put = 0;
    const auto piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    if (!::WriteFile(output, bytes.data(), piece, &put, nullptr) || put == 0) return false;
    bytes.remove_prefix(put);
  }
  return true;
}

}  // namespace unitcheck
