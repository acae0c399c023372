#include <utility>

#include "platform/replace.h"

namespace pelmo::platform {

ReplacementFile::ReplacementFile(std::intptr_t directoryHandle, std::string directory,
                                 std::string targetName, std::optional<File> existing)
    : directoryHandle_(directoryHandle),
      directory_(std::move(directory)),
      targetName_(std::move(targetName)),
      existing_(std::move(existing)) {}

ReplacementFile::ReplacementFile(ReplacementFile&& other) noexcept
    : directoryHandle_(std::exchange(other.directoryHandle_, -1)),
      directory_(std::move(other.directory_)),
      targetName_(std::move(other.targetName_)),
      existing_(std::exchange(other.existing_, std::nullopt)),
      file_(std::exchange(other.file_, std::nullopt)),
      temporaryName_(std::exchange(other.temporaryName_, {})),
      committed_(other.committed_) {}

ReplacementFile& ReplacementFile::operator=(ReplacementFile&& other) noexcept {
  if (this != &other) {
    discard();
    closeDirectory();
    directoryHandle_ = std::exchange(other.directoryHandle_, -1);
    directory_ = std::move(other.directory_);
    targetName_ = std::move(other.targetName_);
    existing_ = std::exchange(other.existing_, std::nullopt);
    file_ = std::exchange(other.file_, std::nullopt);
    temporaryName_ = std::exchange(other.temporaryName_, {});
    committed_ = other.committed_;
  }
  return *this;
}

ReplacementFile::~ReplacementFile() {
  discard();
  closeDirectory();
}

std::optional<ReplacementFile> ReplacementFile::create(std::string_view targetPath) {
  std::optional<ReplacementFile> replacement = open(targetPath);
  if (replacement && !replacement->begin()) replacement.reset();
  return replacement;
}

File* ReplacementFile::existing() {
  return existing_ ? &*existing_ : nullptr;
}

bool ReplacementFile::write(std::string_view bytes) {
  return file_ && file_->write(bytes);
}

}  // namespace pelmo::platform
