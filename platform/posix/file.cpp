#include "platform/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "platform/posix/system_call.h"

namespace pelmo::platform {
namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

int FdOf(std::intptr_t handle) {
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
    ::close(fd);
    return -1;
  }
  int flags = ::fcntl(fd, F_GETFL);
  if (flags != -1) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return fd;
}

int OpenForWriting(const std::string& path) {
  return RetryOnInterrupt([&] {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY, 0666);
  });
}

// Reads once, retrying interruptions; -1 on failure.
ssize_t ReadSome(int fd, char* destination, std::size_t count) {
  return RetryOnInterrupt([&] { return ::read(fd, destination, count); });
}

// Writes everything, continuing after short writes.
bool WriteAll(int fd, const char* bytes, std::size_t count) {
  while (count > 0) {
    ssize_t written = RetryOnInterrupt([&] { return ::write(fd, bytes, count); });
    if (written <= 0) return false;
    bytes += written;
    count -= static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

std::optional<File> File::open(std::string_view path, FileAccess access) {
  const std::string terminated(path);
  int fd =
      access == FileAccess::ReadExisting ? OpenForReading(terminated) : OpenForWriting(terminated);
  if (fd < 0) return std::nullopt;
  return File(fd);
}

File::File(std::intptr_t handle)
    : handle_(handle), buffer_(std::make_unique_for_overwrite<char[]>(kBufferSize)) {}

File::File(File&& other) noexcept
    : handle_(std::exchange(other.handle_, -1)),
      buffer_(std::move(other.buffer_)),
      readPos_(std::exchange(other.readPos_, 0)),
      readEnd_(std::exchange(other.readEnd_, 0)),
      writeEnd_(std::exchange(other.writeEnd_, 0)),
      readFailed_(other.readFailed_),
      writeFailed_(other.writeFailed_) {}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    release();
    handle_ = std::exchange(other.handle_, -1);
    buffer_ = std::move(other.buffer_);
    readPos_ = std::exchange(other.readPos_, 0);
    readEnd_ = std::exchange(other.readEnd_, 0);
    writeEnd_ = std::exchange(other.writeEnd_, 0);
    readFailed_ = other.readFailed_;
    writeFailed_ = other.writeFailed_;
  }
  return *this;
}

File::~File() {
  release();
}

void File::release() {
  if (handle_ < 0) return;
  flushWrites();
  ::close(FdOf(handle_));
  handle_ = -1;
}

bool File::refill() {
  readPos_ = readEnd_ = 0;
  if (handle_ < 0 || readFailed_) return false;
  ssize_t got = ReadSome(FdOf(handle_), buffer_.get(), kBufferSize);
  if (got < 0) {
    readFailed_ = true;
    return false;
  }
  readEnd_ = static_cast<std::size_t>(got);
  return got > 0;
}

std::size_t File::read(char* destination, std::size_t count) {
  std::size_t copied = 0;
  while (copied < count) {
    if (readPos_ < readEnd_) {
      std::size_t take = std::min(count - copied, readEnd_ - readPos_);
      std::memcpy(destination + copied, buffer_.get() + readPos_, take);
      readPos_ += take;
      copied += take;
      continue;
    }
    // A request at least as large as the buffer skips the extra copy.
    if (count - copied >= kBufferSize) {
      if (handle_ < 0 || readFailed_) break;
      ssize_t got = ReadSome(FdOf(handle_), destination + copied, count - copied);
      if (got < 0) readFailed_ = true;
      if (got <= 0) break;
      copied += static_cast<std::size_t>(got);
    } else if (!refill()) {
      break;
    }
  }
  return copied;
}

bool File::rewind() {
  readPos_ = readEnd_ = 0;
  if (handle_ < 0 || ::lseek(FdOf(handle_), 0, SEEK_SET) != 0) return false;
  readFailed_ = false;
  return true;
}

bool File::write(std::string_view bytes) {
  if (writeFailed_ || handle_ < 0) return false;
  if (bytes.size() > kBufferSize - writeEnd_) {
    if (!flushWrites()) return false;
    if (bytes.size() >= kBufferSize) {
      writeFailed_ = !WriteAll(FdOf(handle_), bytes.data(), bytes.size());
      return !writeFailed_;
    }
  }
  std::memcpy(buffer_.get() + writeEnd_, bytes.data(), bytes.size());
  writeEnd_ += bytes.size();
  return true;
}

bool File::flushWrites() {
  if (writeEnd_ > 0 && !writeFailed_ && handle_ >= 0) {
    writeFailed_ = !WriteAll(FdOf(handle_), buffer_.get(), writeEnd_);
  }
  writeEnd_ = 0;
  return !writeFailed_;
}

bool File::sync() {
  if (handle_ < 0 || !flushWrites()) return false;
  if (RetryOnInterrupt([&] { return ::fsync(FdOf(handle_)); }) != 0) writeFailed_ = true;
  return !writeFailed_;
}

bool File::close() {
  if (handle_ < 0) return !writeFailed_;
  flushWrites();
  // Linux releases the descriptor even when close is interrupted; retrying could
  // close a descriptor that another open has reused.
  bool closed = ::close(FdOf(handle_)) == 0 || errno == EINTR;
  handle_ = -1;
  readPos_ = readEnd_ = 0;
  return closed && !writeFailed_;
}

bool RemoveFile(std::string_view path) {
  return ::unlink(std::string(path).c_str()) == 0;
}

}  // namespace pelmo::platform
