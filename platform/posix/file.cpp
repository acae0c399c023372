#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/posix/system_call.h"
#include "platform/system_file.h"

namespace pelmo::platform {
namespace system_file {
namespace {

int FdOf(Handle handle) {
  return static_cast<int>(handle);
}

// Opens an existing regular file. O_NONBLOCK keeps a FIFO from blocking the open
// before it can be refused.
int OpenForReading(const std::string& path) {
  int fd = RetryOnInterrupt(
      [&] { return ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK); });
  if (fd < 0) return -1;
  struct stat status {};
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    // What the refusal is told as; the system itself would open a directory.
    const int error = S_ISDIR(status.st_mode) ? EISDIR : errno;
    ::close(fd);
    errno = error;
    return -1;
  }
  int flags = ::fcntl(fd, F_GETFL);
  if (flags != -1) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return fd;
}

}  // namespace

Handle Open(std::string_view path, FileAccess) {
  const int fd = OpenForReading(std::string(path));
  return fd < 0 ? kNoHandle : fd;
}

std::ptrdiff_t Read(Handle handle, char* destination, std::size_t count) {
  return RetryOnInterrupt([&] { return ::read(FdOf(handle), destination, count); });
}

bool WriteAll(Handle handle, const char* bytes, std::size_t count) {
  while (count > 0) {
    ssize_t written = RetryOnInterrupt([&] { return ::write(FdOf(handle), bytes, count); });
    if (written <= 0) return false;
    bytes += written;
    count -= static_cast<std::size_t>(written);
  }
  return true;
}

bool SeekToStart(Handle handle) {
  return ::lseek(FdOf(handle), 0, SEEK_SET) == 0;
}

bool Sync(Handle handle) {
  return RetryOnInterrupt([&] { return ::fsync(FdOf(handle)); }) == 0;
}

// Linux releases the descriptor even when close is interrupted; retrying could close
// a descriptor that another open has reused.
bool Close(Handle handle) {
  return ::close(FdOf(handle)) == 0 || errno == EINTR;
}

}  // namespace system_file

}  // namespace pelmo::platform
