#include "platform/temporary_file.h"

#include "platform/temporary_name.h"
#include "platform/win32/windows_headers.h"

namespace pelmo::platform {
namespace {

constexpr int kMaxNameAttempts = 100;

}  // namespace

// The Windows 95 family has no permissions to set, nor folder handles.
std::optional<TemporaryFile> CreateTemporaryFile(const TemporaryFolder& folder,
                                                 std::uint64_t& randomState, TemporaryAccess) {
  TemporaryFile file;
  for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
    file.name = TemporaryName(randomState);
    const std::string path = std::string(folder.prefix) + file.name;
    HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
      file.handle = reinterpret_cast<system_file::Handle>(handle);
      return file;
    }
    const DWORD error = ::GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return std::nullopt;
  }
  return std::nullopt;
}

// The tick count changes every few milliseconds, the process id keeps two runs
// started at once apart, and the performance counter (where the machine has one)
// two calls within one tick.
std::uint64_t TemporaryNameSeed() {
  LARGE_INTEGER counter{};
  ::QueryPerformanceCounter(&counter);
  return ((std::uint64_t{::GetTickCount()} << 32) ^ ::GetCurrentProcessId()) +
         static_cast<std::uint64_t>(counter.QuadPart) * 0x9E3779B97F4A7C15ULL;
}

}  // namespace pelmo::platform
