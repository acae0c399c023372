#include "platform/file.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "platform/system_file.h"

namespace pelmo::platform {
namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

}  // namespace

std::optional<File> File::open(std::string_view path, FileAccess access) {
  const system_file::Handle handle = system_file::Open(path, access);
  if (handle == system_file::kNoHandle) return std::nullopt;
  return File(handle);
}

File::File(std::intptr_t handle)
    : handle_(handle), buffer_(std::make_unique_for_overwrite<char[]>(kBufferSize)) {}

File::File(File&& other) noexcept
    : handle_(std::exchange(other.handle_, system_file::kNoHandle)),
      buffer_(std::move(other.buffer_)),
      readPos_(std::exchange(other.readPos_, 0)),
      readEnd_(std::exchange(other.readEnd_, 0)),
      writeEnd_(std::exchange(other.writeEnd_, 0)),
      readFailed_(other.readFailed_),
      writeFailed_(other.writeFailed_) {}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    release();
    handle_ = std::exchange(other.handle_, system_file::kNoHandle);
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
  if (handle_ == system_file::kNoHandle) return;
  flushWrites();
  system_file::Close(std::exchange(handle_, system_file::kNoHandle));
}

bool File::refill() {
  readPos_ = readEnd_ = 0;
  if (handle_ == system_file::kNoHandle || readFailed_) return false;
  const std::ptrdiff_t got = system_file::Read(handle_, buffer_.get(), kBufferSize);
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
      if (handle_ == system_file::kNoHandle || readFailed_) break;
      const std::ptrdiff_t got = system_file::Read(handle_, destination + copied, count - copied);
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
  if (handle_ == system_file::kNoHandle || !system_file::SeekToStart(handle_)) return false;
  readFailed_ = false;
  return true;
}

bool File::write(std::string_view bytes) {
  if (writeFailed_ || handle_ == system_file::kNoHandle) return false;
  if (bytes.size() > kBufferSize - writeEnd_) {
    if (!flushWrites()) return false;
    if (bytes.size() >= kBufferSize) {
      writeFailed_ = !system_file::WriteAll(handle_, bytes.data(), bytes.size());
      return !writeFailed_;
    }
  }
  std::memcpy(buffer_.get() + writeEnd_, bytes.data(), bytes.size());
  writeEnd_ += bytes.size();
  return true;
}

bool File::flushWrites() {
  if (writeEnd_ > 0 && !writeFailed_ && handle_ != system_file::kNoHandle) {
    writeFailed_ = !system_file::WriteAll(handle_, buffer_.get(), writeEnd_);
  }
  writeEnd_ = 0;
  return !writeFailed_;
}

bool File::sync() {
  if (handle_ == system_file::kNoHandle || !flushWrites()) return false;
  if (!system_file::Sync(handle_)) writeFailed_ = true;
  return !writeFailed_;
}

bool File::close() {
  if (handle_ == system_file::kNoHandle) return !writeFailed_;
  flushWrites();
  const bool closed = system_file::Close(std::exchange(handle_, system_file::kNoHandle));
  readPos_ = readEnd_ = 0;
  return closed && !writeFailed_;
}

}  // namespace pelmo::platform
