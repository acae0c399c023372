#include "platform/file_time.h"

#include <string>

#include "platform/win32/windows_headers.h"

namespace pelmo::platform {
namespace {

constexpr std::int64_t kTicksPerSecond = kFileTimeTicksPerSecond;
constexpr std::int64_t kUnixEpochTicks = kSecondsFrom1601To1970 * kTicksPerSecond;

}  // namespace

bool SetModificationTime(std::string_view name, std::int64_t secondsSince1970) {
  constexpr std::int64_t kLatest = (INT64_MAX - kUnixEpochTicks) / kTicksPerSecond;
  if (secondsSince1970 < -kUnixEpochTicks / kTicksPerSecond || secondsSince1970 > kLatest) {
    return false;
  }
  const auto ticks =
      static_cast<std::uint64_t>(secondsSince1970 * kTicksPerSecond + kUnixEpochTicks);
  FILETIME time{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
  const std::string terminated(name);
  HANDLE file = ::CreateFileA(terminated.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool set = ::SetFileTime(file, nullptr, nullptr, &time) != 0;
  ::CloseHandle(file);
  return set;
}

}  // namespace pelmo::platform
