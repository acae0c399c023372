#include "platform/favourites_output.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <utility>

#include "platform/directory.h"
#include "platform/paths.h"
#include "platform/posix/interrupt_cleanup.h"
#include "platform/posix/system_call.h"
#include "platform/posix/unique_fd.h"
#include "platform/system_file.h"
#include "platform/temporary_file.h"
#include "platform/temporary_name.h"

namespace pelmo::platform {
namespace {

#ifdef O_PATH
// Enough to enter or identify a directory, and needs no permission to read it.
constexpr int kDirectoryHandleFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;
#else
constexpr int kDirectoryHandleFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif

constexpr int kMaxTemporaryNameAttempts = 100;

FileIdentity IdentityOf(const struct stat& status) {
  return {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
}

std::optional<FileIdentity> IdentityOfOpen(int fd) {
  struct stat status {};
  if (::fstat(fd, &status) != 0) return std::nullopt;
  return IdentityOf(status);
}

bool IsPlainName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

// A file with no name in the current directory, which vanishes if the process dies
// before it is given one.
UniqueFd CreateUnnamed() {
#ifdef O_TMPFILE
  return UniqueFd(
      RetryOnInterrupt([] { return ::open(".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666); }));
#else
  errno = EOPNOTSUPP;
  return UniqueFd();
#endif
}

// What the file system answers when it cannot make unnamed files.
bool LacksUnnamedFiles(int error) {
  return error == EOPNOTSUPP || error == EISDIR || error == EINVAL || error == ENOSYS;
}

bool WriteAll(const UniqueFd& fd, std::string_view bytes) {
  return system_file::WriteAll(fd.get(), bytes.data(), bytes.size());
}

bool CloseWritten(UniqueFd& fd) {
  return system_file::Close(fd.release());
}

// The target is replaced only when it is a regular file that may be written: a
// read-only shortcut file stays as it is, also for a user whom no permission stops.
std::optional<mode_t> ReplaceableMode(const std::string& target) {
  struct stat status {};
  if (::fstatat(AT_FDCWD, target.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
  if (!S_ISREG(status.st_mode) || (status.st_mode & 0222) == 0) return std::nullopt;
  if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return std::nullopt;
  return status.st_mode & 07777;
}

// How a new file is made to appear whole; the first method that works is kept.
enum NewFileMethod : int {
  kUntried,        // unnamed files, named through AT_EMPTY_PATH or else /proc/self/fd
  kEmptyPath,      // AT_EMPTY_PATH works (it needs a privilege on older kernels)
  kThroughProc,    // /proc/self/fd works
  kTemporaryName,  // the file system has no unnamed files: a temporary name, then rename
};

// Gives an unnamed file its name; false with errno EEXIST when the name is taken.
bool LinkUnnamed(int fd, const std::string& name, int& method) {
  if (method != kThroughProc) {
    if (::linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0) {
      method = kEmptyPath;
      return true;
    }
    if (errno != ENOENT || method == kEmptyPath) return false;
  }
  char path[32];
  std::snprintf(path, sizeof path, "/proc/self/fd/%d", fd);
  if (::linkat(AT_FDCWD, path, AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) != 0) return false;
  method = kThroughProc;
  return true;
}

// Call with interrupts held, so that only SIGKILL can leave the file behind.
UniqueFd CreateTemporary(std::uint64_t& randomState, std::string& name) {
  std::optional<TemporaryFile> created = CreateTemporaryFile({}, randomState);
  if (!created) return UniqueFd();
  name = std::move(created->name);
  return UniqueFd(static_cast<int>(created->handle));
}

// Renaming over the name replaces whatever entry is there by then, without following
// it; a directory refuses.
bool RenameOver(const std::string& temporary, const std::string& target) {
  if (::rename(temporary.c_str(), target.c_str()) == 0) return true;
  ::unlink(temporary.c_str());
  return false;
}

// The unnamed file takes the place of the existing one in one step, through a
// temporary name.
bool ReplaceWithUnnamed(int fd, const std::string& target, int& method,
                        std::uint64_t& randomState) {
  std::optional<mode_t> mode = ReplaceableMode(target);
  if (!mode || ::fchmod(fd, *mode) != 0) return false;
  InterruptsHeld held;
  for (int attempt = 0; attempt < kMaxTemporaryNameAttempts; ++attempt) {
    const std::string temporary = TemporaryName(randomState);
    if (LinkUnnamed(fd, temporary, method)) return RenameOver(temporary, target);
    if (errno != EEXIST) return false;
  }
  return false;
}

// Nothing when no way of naming the file has worked yet, so that the run goes on
// with temporary names.
std::optional<WriteOutcome> WriteUnnamed(UniqueFd fd, const std::string& target,
                                         std::string_view bytes, ExistingFile existing, int& method,
                                         std::uint64_t& randomState) {
  // Until the file has a name, a failure or a kill leaves nothing.
  if (!WriteAll(fd, bytes)) return WriteOutcome::Failed;
  if (LinkUnnamed(fd.get(), target, method)) {
    if (CloseWritten(fd)) return WriteOutcome::Written;
    ::unlink(target.c_str());
    return WriteOutcome::Failed;
  }
  if (errno != EEXIST) {
    if (method == kUntried) return std::nullopt;
    return WriteOutcome::Failed;
  }
  if (existing == ExistingFile::Keep) return WriteOutcome::NameTaken;
  const bool replaced = ReplaceWithUnnamed(fd.get(), target, method, randomState);
  return CloseWritten(fd) && replaced ? WriteOutcome::Written : WriteOutcome::Failed;
}

// Gives the temporary file the target's name unless that name is taken.
bool PlaceNew(const std::string& temporary, const std::string& target) {
  if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
    return true;
  }
  if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return false;
  if (::link(temporary.c_str(), target.c_str()) != 0) return false;
  ::unlink(temporary.c_str());
  return true;
}

WriteOutcome WriteThroughTemporary(const std::string& target, std::string_view bytes,
                                   ExistingFile existing, std::uint64_t& randomState) {
  InterruptsHeld held;
  std::string temporary;
  UniqueFd fd = CreateTemporary(randomState, temporary);
  if (!fd.valid()) return WriteOutcome::Failed;
  bool written = WriteAll(fd, bytes);
  written = CloseWritten(fd) && written;
  if (written && PlaceNew(temporary, target)) return WriteOutcome::Written;
  const int error = errno;
  if (!written || error != EEXIST || existing == ExistingFile::Keep) {
    ::unlink(temporary.c_str());
    return written && error == EEXIST ? WriteOutcome::NameTaken : WriteOutcome::Failed;
  }
  std::optional<mode_t> mode = ReplaceableMode(target);
  if (!mode || ::chmod(temporary.c_str(), *mode) != 0) {
    ::unlink(temporary.c_str());
    return WriteOutcome::Failed;
  }
  return RenameOver(temporary, target) ? WriteOutcome::Written : WriteOutcome::Failed;
}

}  // namespace

std::optional<FileIdentity> EnterSubdirectory(std::string_view name) {
  if (!IsPlainName(name)) return std::nullopt;
  const std::string terminated(name);
  // It may exist already; whether it can be entered decides.
  ::mkdir(terminated.c_str(), 0777);
  UniqueFd fd(RetryOnInterrupt(
      [&] { return ::open(terminated.c_str(), kDirectoryHandleFlags | O_NOFOLLOW); }));
  if (!fd.valid()) return std::nullopt;
  std::optional<FileIdentity> identity = IdentityOfOpen(fd.get());
  if (!identity || ::fchdir(fd.get()) != 0) return std::nullopt;
  return identity;
}

std::optional<FileIdentity> EnterParentDirectory() {
  if (::chdir("..") != 0) return std::nullopt;
  struct stat status {};
  if (::stat(".", &status) != 0) return std::nullopt;
  return IdentityOf(status);
}

// Names are reached relative to the current directory, so no path bound applies.
std::size_t RoomForName(NewEntry) {
  return kMaxNameLength;
}

std::optional<std::vector<std::string>> CurrentSubdirectoryNames() {
  std::unique_ptr<DIR, int (*)(DIR*)> directory(::opendir("."), ::closedir);
  if (!directory) return std::nullopt;
  std::vector<std::string> names;
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(directory.get());
    if (entry == nullptr) break;
    std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    bool isDirectory = entry->d_type == DT_DIR;
    if (entry->d_type == DT_UNKNOWN) {
      struct stat status {};
      isDirectory =
          ::fstatat(::dirfd(directory.get()), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
          S_ISDIR(status.st_mode);
    }
    if (isDirectory) names.emplace_back(name);
  }
  if (errno != 0) return std::nullopt;
  return names;
}

std::optional<HeldDirectory> HeldDirectory::current() {
  UniqueFd fd(RetryOnInterrupt([] { return ::open(".", kDirectoryHandleFlags); }));
  if (!fd.valid()) return std::nullopt;
  std::optional<FileIdentity> identity = IdentityOfOpen(fd.get());
  if (!identity) return std::nullopt;
  // Without its path (a folder above it unreadable) only the folders below are checked.
  return HeldDirectory(fd.release(), *identity, CurrentDirectory().value_or(std::string()));
}

HeldDirectory::HeldDirectory(HeldDirectory&& other) noexcept
    : handle_(std::exchange(other.handle_, -1)),
      identity_(other.identity_),
      path_(std::move(other.path_)) {}

HeldDirectory& HeldDirectory::operator=(HeldDirectory&& other) noexcept {
  if (this != &other) {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
    handle_ = std::exchange(other.handle_, -1);
    identity_ = other.identity_;
    path_ = std::move(other.path_);
  }
  return *this;
}

HeldDirectory::~HeldDirectory() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

bool HeldDirectory::makeCurrent() const {
  return handle_ >= 0 && ::fchdir(static_cast<int>(handle_)) == 0;
}

bool HeldDirectory::stillLeadsTo(const std::vector<std::string>& names,
                                 const FileIdentity& expected) const {
  struct stat status {};
  if (!path_.empty() && (::stat(path_.c_str(), &status) != 0 || IdentityOf(status) != identity_)) {
    return false;
  }
  if (names.empty()) return expected == identity_;
  std::string below;
  for (const std::string& name : names) {
    if (!below.empty()) below += '/';
    below += name;
  }
  if (::fstatat(static_cast<int>(handle_), below.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
    return errno == ENAMETOOLONG;
  }
  return IdentityOf(status) == expected;
}

WholeFileWriter::WholeFileWriter(bool unnamedFiles)
    : randomState_(TemporaryNameSeed()), newFileMethod_(unnamedFiles ? kUntried : kTemporaryName) {}

WriteOutcome WholeFileWriter::write(std::string_view name, std::string_view bytes,
                                    ExistingFile existing) {
  if (!IsPlainName(name)) return WriteOutcome::Failed;
  const std::string target(name);
  if (newFileMethod_ != kTemporaryName) {
    UniqueFd fd = CreateUnnamed();
    if (fd.valid()) {
      std::optional<WriteOutcome> outcome =
          WriteUnnamed(std::move(fd), target, bytes, existing, newFileMethod_, randomState_);
      if (outcome) return *outcome;
    } else if (!LacksUnnamedFiles(errno)) {
      return WriteOutcome::Failed;
    }
    newFileMethod_ = kTemporaryName;
  }
  return WriteThroughTemporary(target, bytes, existing, randomState_);
}

}  // namespace pelmo::platform
