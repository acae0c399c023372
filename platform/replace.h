#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file.h"

namespace pelmo::platform {

// New content for a file, written to a temporary file beside it and put in its
// place in one step: the old file stays untouched until commit() succeeds, and the
// temporary file never outlives a failure, nor an interrupt that ends the process.
//
// The replaced file keeps its owner and group (where the user may set them), its
// mode, its extended attributes and ACL. A file with other hard links is replaced
// too: the other links keep the old content.
class ReplacementFile {
 public:
  // Settles the target before any work is done: links in its last component are
  // followed (except those that a sticky, world-writable directory does not let the
  // user follow), and an existing file is opened for reading and writing. nullopt
  // when the target cannot be replaced: not a regular file, a file the user may not
  // write or whose mode is read-only, a directory that cannot be written.
  static std::optional<ReplacementFile> open(std::string_view targetPath);
  // open() and begin() together.
  static std::optional<ReplacementFile> create(std::string_view targetPath);

  ReplacementFile(ReplacementFile&& other) noexcept;
  ReplacementFile& operator=(ReplacementFile&& other) noexcept;
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;
  ~ReplacementFile();  // removes the temporary file unless committed

  // The file being replaced, at its first byte, for a merge; null when there was none.
  File* existing();

  // Creates the temporary file that write() fills; false when it cannot.
  bool begin();
  bool write(std::string_view bytes);
  // Flushes, syncs and replaces the target; false leaves the target as it was.
  bool commit();

 private:
  ReplacementFile(std::intptr_t directoryHandle, std::string directory, std::string targetName,
                  std::optional<File> existing);
  // Closes and removes the temporary file, if there still is one.
  void discard();
  void closeDirectory();
  bool rename();

  std::intptr_t directoryHandle_ = -1;  // the target's directory, held open where possible
  std::string directory_;               // up to and including its last separator
  std::string targetName_;              // in directory_
  std::optional<File> existing_;
  std::optional<File> file_;
  std::string temporaryName_;  // in directory_; empty once nothing is left to remove
  bool committed_ = false;
};

}  // namespace pelmo::platform
