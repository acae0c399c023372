#include "platform/system_file.h"

#include <algorithm>
#include <string>

#include "platform/win32/windows_headers.h"

namespace pelmo::platform {
namespace system_file {
namespace {

HANDLE HandleOf(Handle handle) {
  return reinterpret_cast<HANDLE>(handle);
}

Handle FromHandle(HANDLE handle) {
  return handle == INVALID_HANDLE_VALUE ? kNoHandle : reinterpret_cast<Handle>(handle);
}

// One call moves at most this much, so a count never overflows a DWORD.
constexpr std::size_t kMaxTransfer = 1 << 30;

}  // namespace

Handle Open(std::string_view path, FileAccess) {
  const std::string terminated(path);
  HANDLE handle = ::CreateFileA(terminated.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return kNoHandle;
  // A device name such as CON opens too, and would wait for input.
  if (::GetFileType(handle) != FILE_TYPE_DISK) {
    ::CloseHandle(handle);
    return kNoHandle;
  }
  return FromHandle(handle);
}

std::ptrdiff_t Read(Handle handle, char* destination, std::size_t count) {
  DWORD got = 0;
  const auto wanted = static_cast<DWORD>(std::min(count, kMaxTransfer));
  if (!::ReadFile(HandleOf(handle), destination, wanted, &got, nullptr)) return -1;
  return static_cast<std::ptrdiff_t>(got);
}

bool WriteAll(Handle handle, const char* bytes, std::size_t count) {
  while (count > 0) {
    DWORD written = 0;
    const auto chunk = static_cast<DWORD>(std::min(count, kMaxTransfer));
    if (!::WriteFile(HandleOf(handle), bytes, chunk, &written, nullptr) || written == 0) {
      return false;
    }
    bytes += written;
    count -= written;
  }
  return true;
}

bool SeekToStart(Handle handle) {
  return ::SetFilePointer(HandleOf(handle), 0, nullptr, FILE_BEGIN) == 0;
}

bool Sync(Handle handle) {
  return ::FlushFileBuffers(HandleOf(handle)) != 0;
}

bool Close(Handle handle) {
  return ::CloseHandle(HandleOf(handle)) != 0;
}

}  // namespace system_file

}  // namespace pelmo::platform
