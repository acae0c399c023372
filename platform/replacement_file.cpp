#include <utility>

#include "platform/replace.h"

namespace pelmo::platform {

ReplacementFile::ReplacementFile(File file, std::string temporaryPath, std::string targetPath)
    : file_(std::move(file)),
      temporaryPath_(std::move(temporaryPath)),
      targetPath_(std::move(targetPath)) {}

ReplacementFile::ReplacementFile(ReplacementFile&& other) noexcept
    : file_(std::exchange(other.file_, std::nullopt)),
      temporaryPath_(std::exchange(other.temporaryPath_, {})),
      targetPath_(std::move(other.targetPath_)),
      committed_(other.committed_) {}

ReplacementFile& ReplacementFile::operator=(ReplacementFile&& other) noexcept {
  if (this != &other) {
    discard();
    file_ = std::exchange(other.file_, std::nullopt);
    temporaryPath_ = std::exchange(other.temporaryPath_, {});
    targetPath_ = std::move(other.targetPath_);
    committed_ = other.committed_;
  }
  return *this;
}

ReplacementFile::~ReplacementFile() {
  discard();
}

void ReplacementFile::discard() {
  // Closed first: some systems cannot remove a file that is still open.
  file_.reset();
  if (!temporaryPath_.empty()) RemoveFile(temporaryPath_);
  temporaryPath_.clear();
}

bool ReplacementFile::write(std::string_view bytes) {
  return file_ && file_->write(bytes);
}

}  // namespace pelmo::platform
