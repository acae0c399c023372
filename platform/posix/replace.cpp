#include "platform/replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>
#include <utility>

#include "platform/posix/file_attributes.h"
#include "platform/posix/interrupt_cleanup.h"
#include "platform/posix/protected_path.h"
#include "platform/posix/system_call.h"
#include "platform/posix/unique_fd.h"
#include "platform/temporary_file.h"

namespace pelmo::platform {
namespace {

// Opens the file to be replaced; nullopt inside when it does not exist, nullopt
// outside when it may not be replaced. O_NONBLOCK keeps a FIFO from blocking the
// open before it can be refused; O_NOFOLLOW refuses a link put there since the
// links were followed.
std::optional<UniqueFd> OpenExisting(int directoryFd, const std::string& name) {
  UniqueFd fd(RetryOnInterrupt([&] {
    return ::openat(directoryFd, name.c_str(),
                    O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW);
  }));
  if (!fd.valid()) {
    if (errno == ENOENT) return UniqueFd();
    return std::nullopt;
  }
  struct stat status {};
  if (::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
  // A mode without any write permission marks the file read-only, even for root.
  if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
    errno = EACCES;  // as the system tells it to a user other than root
    return std::nullopt;
  }
  const int flags = ::fcntl(fd.get(), F_GETFL);
  if (flags == -1 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) return std::nullopt;
  return fd;
}

int FdOf(std::intptr_t handle) {
  return static_cast<int>(handle);
}

}  // namespace

std::optional<ReplacementFile> ReplacementFile::open(std::string_view targetPath) {
  try {
    // Links are followed, in every component, only where the rule lets the user
    // follow them, so that replacing the file keeps the links.
    std::optional<PathEnd> target = OpenParentProtected(targetPath);
    if (!target) return std::nullopt;
    UniqueFd directoryFd = std::move(target->directory);
    std::string name = std::move(target->name);
    // The temporary file needs room beside the target; better known before the work.
    if (::faccessat(directoryFd.get(), ".", W_OK | X_OK, AT_EACCESS) != 0) return std::nullopt;
    std::string directory(targetPath.substr(0, targetPath.rfind('/') + 1));
    std::optional<UniqueFd> existingFd = OpenExisting(directoryFd.get(), name);
    if (!existingFd) return std::nullopt;
    std::optional<File> existing;
    if (existingFd->valid()) {
      existing = File(existingFd->get());
      existingFd->release();
    }
    return ReplacementFile(directoryFd.release(), std::move(directory), std::move(name),
                           std::move(existing));
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

bool ReplacementFile::begin() {
  if (file_ || committed_ || directoryHandle_ < 0) return false;
  try {
    std::uint64_t randomState = TemporaryNameSeed();
    UniqueFd fd;
    {
      // Remembered before any signal can end the process with the file in place.
      InterruptsHeld held;
      std::optional<TemporaryFile> created =
          CreateTemporaryFile({directoryHandle_, {}}, randomState,
                              existing_ ? TemporaryAccess::OwnerOnly : TemporaryAccess::Shared);
      if (!created) return false;
      fd.reset(static_cast<int>(created->handle));
      temporaryName_ = std::move(created->name);  // no allocation, so nothing can throw past here
      RememberTemporaryFile(FdOf(directoryHandle_), temporaryName_.c_str());
    }
    if (existing_ && !CopyOwnershipAndAttributes(FdOf(existing_->handle_), fd.get())) {
      discard();
      return false;
    }
    file_ = File(fd.get());
    fd.release();
    return true;
  } catch (const std::bad_alloc&) {
    discard();
    return false;
  }
}

bool ReplacementFile::commit() {
  if (!file_) return false;
  // A file with other hard links is replaced like any other: rewriting it in place
  // could not be atomic, and a kill part-way would leave it torn. The other links keep
  // the old content.
  if (!file_->sync() || !rename()) {
    discard();
    return false;
  }
  committed_ = true;
  // Makes the new name durable. Some file systems cannot sync a directory; the new
  // content is in place by then, so this cannot turn into a failure.
  RetryOnInterrupt([&] { return ::fsync(FdOf(directoryHandle_)); });
  return true;
}

bool ReplacementFile::rename() {
  if (!file_->close()) return false;
  file_.reset();
  InterruptsHeld held;
  if (::renameat(FdOf(directoryHandle_), temporaryName_.c_str(), FdOf(directoryHandle_),
                 targetName_.c_str()) != 0) {
    return false;
  }
  ForgetTemporaryFile();
  temporaryName_.clear();
  return true;
}

void ReplacementFile::discard() {
  // Closed first: some systems cannot remove a file that is still open.
  file_.reset();
  if (temporaryName_.empty()) return;
  InterruptsHeld held;
  ::unlinkat(FdOf(directoryHandle_), temporaryName_.c_str(), 0);
  ForgetTemporaryFile();
  temporaryName_.clear();
}

void ReplacementFile::closeDirectory() {
  existing_.reset();
  if (directoryHandle_ >= 0) ::close(FdOf(directoryHandle_));
  directoryHandle_ = -1;
}

}  // namespace pelmo::platform
