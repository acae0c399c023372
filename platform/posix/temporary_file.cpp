#include "platform/temporary_file.h"

#include <fcntl.h>

#include <cerrno>
#include <random>

#include "platform/posix/system_call.h"
#include "platform/temporary_name.h"

namespace pelmo::platform {
namespace {

constexpr int kMaxNameAttempts = 100;

}  // namespace

std::optional<TemporaryFile> CreateTemporaryFile(const TemporaryFolder& folder,
                                                 std::uint64_t& randomState,
                                                 TemporaryAccess access) {
  const int directoryFd = folder.handle >= 0 ? static_cast<int>(folder.handle) : AT_FDCWD;
  const mode_t mode = access == TemporaryAccess::OwnerOnly ? 0600 : 0666;
  TemporaryFile file;
  for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
    file.name = TemporaryName(randomState);
    const std::string path = std::string(folder.prefix) + file.name;
    const int fd = RetryOnInterrupt([&] {
      return ::openat(directoryFd, path.c_str(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, mode);
    });
    if (fd >= 0) {
      file.handle = fd;
      return file;
    }
    if (errno != EEXIST) return std::nullopt;
  }
  return std::nullopt;
}

std::uint64_t TemporaryNameSeed() {
  std::random_device device;
  return (std::uint64_t{device()} << 32) ^ device();
}

}  // namespace pelmo::platform
