#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

namespace pelmo::platform {

enum class FileAccess {
  // An existing regular file, for reading (a directory does not open). Files are
  // written only through ReplacementFile, which opens its own.
  ReadExisting,
};

// An open file with its own buffer: reading a byte at a time costs a memory copy,
// not a system call, and small writes are gathered before they reach the system.
class File {
 public:
  static std::optional<File> open(std::string_view path, FileAccess access);

  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File();  // closes; a failure there is lost, so writers call close()

  // The next byte (0 to 255), or -1 at the end of the file or after a failed read.
  int getByte() {
    if (readPos_ == readEnd_ && !refill()) return -1;
    return static_cast<unsigned char>(buffer_[readPos_++]);
  }
  // The byte that getByte would return next, without consuming it.
  int peekByte() {
    if (readPos_ == readEnd_ && !refill()) return -1;
    return static_cast<unsigned char>(buffer_[readPos_]);
  }
  // Copies up to count bytes; fewer only at the end of the file or after a failed read.
  std::size_t read(char* destination, std::size_t count);
  bool readFailed() const { return readFailed_; }

  // Back to the first byte; empties the read buffer.
  bool rewind();

  // Buffered write; false once any write of this file has failed.
  bool write(std::string_view bytes);
  // Hands the buffered bytes to the system and forces them to the disk.
  bool sync();
  // Writes what is buffered and closes; false when any write, or the close, failed.
  bool close();

 private:
  // ReplacementFile makes its temporary file with its own open flags.
  friend class ReplacementFile;

  explicit File(std::intptr_t handle);
  bool refill();
  bool flushWrites();
  void release();

  std::intptr_t handle_ = -1;
  // Not zeroed: a shortcut file of a few dozen bytes should not pay for clearing it.
  std::unique_ptr<char[]> buffer_;
  std::size_t readPos_ = 0;
  std::size_t readEnd_ = 0;
  std::size_t writeEnd_ = 0;  // bytes gathered for the next write
  bool readFailed_ = false;
  bool writeFailed_ = false;
};

}  // namespace pelmo::platform
