#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/file.h"

namespace pelmo::platform {

// New content for a file, written to a temporary file beside it and put in its
// place in one step: the old file stays untouched until commit() succeeds, and the
// temporary file never outlives a failure.
class ReplacementFile {
 public:
  // nullopt when the temporary file cannot be created.
  static std::optional<ReplacementFile> create(std::string_view targetPath);

  ReplacementFile(ReplacementFile&& other) noexcept;
  ReplacementFile& operator=(ReplacementFile&& other) noexcept;
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;
  ~ReplacementFile();  // removes the temporary file unless committed

  bool write(std::string_view bytes);
  // Flushes, syncs and replaces the target; false leaves the target as it was.
  bool commit();

 private:
  ReplacementFile(File file, std::string temporaryPath, std::string targetPath);
  // Closes and removes the temporary file, if there still is one.
  void discard();

  std::optional<File> file_;
  std::string temporaryPath_;  // empty once nothing is left to remove
  std::string targetPath_;
  bool committed_ = false;
};

}  // namespace pelmo::platform
