#include "platform/replace.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <new>
#include <random>
#include <utility>

#include "platform/posix/file_attributes.h"
#include "platform/posix/interrupt_cleanup.h"
#include "platform/posix/system_call.h"
#include "platform/posix/unique_fd.h"

namespace pelmo::platform {
namespace {

constexpr int kMaxLinkHops = 40;  // as the kernel's own limit
constexpr int kMaxNameAttempts = 100;
constexpr std::size_t kCopyChunk = 64 * 1024;

// Everything up to and including the last '/', or empty for a bare name.
std::string DirectoryPrefix(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string DirectoryToOpen(const std::string& prefix) {
  return prefix.empty() ? std::string(".") : prefix;
}

std::optional<std::string> ReadLink(const std::string& path) {
  std::string target(PATH_MAX, '\0');
  for (;;) {
    const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
    if (length < 0) return std::nullopt;
    if (static_cast<std::size_t>(length) < target.size()) {
      target.resize(static_cast<std::size_t>(length));
      return target;
    }
    target.resize(target.size() * 2);
  }
}

// The kernel's protected_symlinks rule, which a program that reads a link itself
// would bypass: in a sticky, world-writable directory, only a link of the user's own
// or of the directory's owner is followed.
bool MayFollow(const std::string& linkPath, const struct stat& link) {
  struct stat directory {};
  if (::stat(DirectoryToOpen(DirectoryPrefix(linkPath)).c_str(), &directory) != 0) return false;
  const bool shared = (directory.st_mode & S_ISVTX) != 0 && (directory.st_mode & S_IWOTH) != 0;
  return !shared || link.st_uid == ::geteuid() || link.st_uid == directory.st_uid;
}

// The file that path names once links in its last component are followed, so
// that replacing it keeps the links; a dangling link leads to the missing file.
std::optional<std::string> FollowLinks(std::string path) {
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
    if (!MayFollow(path, status)) return std::nullopt;
    std::optional<std::string> target = ReadLink(path);
    if (!target || target->empty()) return std::nullopt;
    path = target->front() == '/' ? *target : DirectoryPrefix(path) + *target;
  }
  return std::nullopt;
}

// A short name keeps the temporary file within the name limit whatever the target
// is called.
std::string TemporaryName(std::mt19937& random) {
  constexpr std::string_view kAlphabet =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::uniform_int_distribution<std::size_t> pick(0, kAlphabet.size() - 1);
  std::string name = ".pelmo-";
  for (int i = 0; i < 6; ++i) name.push_back(kAlphabet[pick(random)]);
  return name + ".tmp";
}

UniqueFd CreateExclusive(int directoryFd, std::string& name, mode_t mode) {
  std::mt19937 random{std::random_device{}()};
  for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
    name = TemporaryName(random);
    UniqueFd fd(RetryOnInterrupt([&] {
      return ::openat(directoryFd, name.c_str(),
                      O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW, mode);
    }));
    if (fd.valid() || errno != EEXIST) return fd;
  }
  return UniqueFd();
}

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

// Copies every byte of from over the start of to; the size copied, or nullopt.
std::optional<off_t> CopyContent(int from, int to) {
  std::array<char, kCopyChunk> chunk;
  off_t offset = 0;
  for (;;) {
    const ssize_t got =
        RetryOnInterrupt([&] { return ::pread(from, chunk.data(), chunk.size(), offset); });
    if (got < 0) return std::nullopt;
    if (got == 0) return offset;
    for (ssize_t done = 0; done < got;) {
      const ssize_t put = RetryOnInterrupt(
          [&] { return ::pwrite(to, chunk.data() + done, got - done, offset + done); });
      if (put <= 0) return std::nullopt;
      done += put;
    }
    offset += got;
  }
}

// Makes to hold exactly the bytes of from, on the disk.
bool CopyWhole(int from, int to) {
  std::optional<off_t> size = CopyContent(from, to);
  return size && ::ftruncate(to, *size) == 0 && RetryOnInterrupt([&] { return ::fsync(to); }) == 0;
}

int FdOf(std::intptr_t handle) {
  return static_cast<int>(handle);
}

}  // namespace

std::optional<ReplacementFile> ReplacementFile::open(std::string_view targetPath) {
  try {
    std::optional<std::string> target = FollowLinks(std::string(targetPath));
    if (!target) return std::nullopt;
    std::string directory = DirectoryPrefix(*target);
    std::string name = target->substr(directory.size());
    if (name.empty() || name == "." || name == "..") return std::nullopt;

    UniqueFd directoryFd(RetryOnInterrupt([&] {
      return ::open(DirectoryToOpen(directory).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }));
    // The temporary file needs room beside the target; better known before the work.
    if (!directoryFd.valid() || ::faccessat(directoryFd.get(), ".", W_OK | X_OK, AT_EACCESS) != 0) {
      return std::nullopt;
    }
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
    std::string name;
    UniqueFd fd;
    {
      // Remembered before any signal can end the process with the file in place.
      InterruptsHeld held;
      fd = CreateExclusive(FdOf(directoryHandle_), name, existing_ ? 0600 : 0666);
      if (!fd.valid()) return false;
      temporaryName_ = std::move(name);  // no allocation, so nothing can throw past here
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
  const bool written = file_->sync();
  struct stat old {};
  const bool shared = existing_ && ::fstat(FdOf(existing_->handle_), &old) == 0 && old.st_nlink > 1;
  if (!written || !(shared ? rewriteInPlace() : rename())) {
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

// The other links keep sharing the file, so its bytes are rewritten where they
// are. The old bytes are copied beside it first: until the rewrite is whole, a
// crash leaves that copy; a failed rewrite puts them back.
bool ReplacementFile::rewriteInPlace() {
  const int target = FdOf(existing_->handle_);
  InterruptsHeld held;
  // Another run rewriting the same file waits for this one to finish.
  RetryOnInterrupt([&] { return ::flock(target, LOCK_EX); });
  std::string backupName;
  UniqueFd backup = CreateExclusive(FdOf(directoryHandle_), backupName, 0600);
  if (!backup.valid()) return false;
  if (!CopyWhole(target, backup.get())) {
    ::unlinkat(FdOf(directoryHandle_), backupName.c_str(), 0);
    return false;
  }
  const bool rewritten = CopyWhole(FdOf(file_->handle_), target);
  if (rewritten || CopyWhole(backup.get(), target)) {
    ::unlinkat(FdOf(directoryHandle_), backupName.c_str(), 0);
  }
  if (rewritten) discard();
  return rewritten;
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
