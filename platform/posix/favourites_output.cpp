#include "platform/favourites_output.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <random>
#include <utility>

#include "platform/paths.h"
#include "platform/posix/system_call.h"
#include "platform/posix/unique_fd.h"
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

// Holds SIGINT, SIGTERM and SIGHUP back while a file is written: one that arrives
// meanwhile ends the process once the file is whole and in place, so that neither a
// part of a file nor a temporary file is left behind.
class InterruptsHeld {
 public:
  InterruptsHeld() {
    sigset_t held;
    ::sigemptyset(&held);
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) ::sigaddset(&held, signalNumber);
    ::sigprocmask(SIG_BLOCK, &held, &saved_);
  }
  ~InterruptsHeld() { ::sigprocmask(SIG_SETMASK, &saved_, nullptr); }
  InterruptsHeld(const InterruptsHeld&) = delete;
  InterruptsHeld& operator=(const InterruptsHeld&) = delete;

 private:
  sigset_t saved_;
};

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

// Never opens what is there already, so never a link, a pipe or a device.
int CreateExclusive(const std::string& name) {
  return RetryOnInterrupt([&] {
    return ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY,
                  0666);
  });
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = RetryOnInterrupt([&] { return ::write(fd, bytes.data(), bytes.size()); });
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Writes and closes; on any failure the file is removed.
bool FinishFile(UniqueFd fd, const std::string& name, std::string_view bytes) {
  bool written = WriteAll(fd.get(), bytes);
  // Linux releases the descriptor even when close is interrupted.
  written = (::close(fd.release()) == 0 || errno == EINTR) && written;
  if (!written) ::unlink(name.c_str());
  return written;
}

// The target is replaced only when it is a regular file that the user may write:
// a read-only shortcut file stays as it is.
std::optional<mode_t> ReplaceableMode(const std::string& target) {
  struct stat status {};
  if (::fstatat(AT_FDCWD, target.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
  if (!S_ISREG(status.st_mode)) return std::nullopt;
  if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return std::nullopt;
  return status.st_mode & 07777;
}

UniqueFd CreateTemporary(std::uint64_t& randomState, std::string& name) {
  for (int attempt = 0; attempt < kMaxTemporaryNameAttempts; ++attempt) {
    name = TemporaryShortcutName(randomState);
    UniqueFd fd(CreateExclusive(name));
    if (fd.valid() || errno != EEXIST) return fd;
  }
  return UniqueFd();
}

bool ReplaceWhole(const std::string& target, std::string_view bytes, std::uint64_t& randomState) {
  std::optional<mode_t> mode = ReplaceableMode(target);
  if (!mode) return false;
  std::string temporary;
  UniqueFd fd = CreateTemporary(randomState, temporary);
  if (!fd.valid()) return false;
  if (::fchmod(fd.get(), *mode) != 0) {
    fd.reset();
    ::unlink(temporary.c_str());
    return false;
  }
  if (!FinishFile(std::move(fd), temporary, bytes)) return false;
  // Renaming over the name replaces whatever entry is there by then, without
  // following it; a directory refuses.
  if (::rename(temporary.c_str(), target.c_str()) == 0) return true;
  ::unlink(temporary.c_str());
  return false;
}

WriteOutcome OutcomeOf(bool written) {
  return written ? WriteOutcome::Written : WriteOutcome::Failed;
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

std::optional<std::vector<std::string>> CurrentDirectoryNames() {
  std::unique_ptr<DIR, int (*)(DIR*)> directory(::opendir("."), ::closedir);
  if (!directory) return std::nullopt;
  std::vector<std::string> names;
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(directory.get());
    if (entry == nullptr) break;
    std::string_view name = entry->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
  }
  if (errno != 0) return std::nullopt;
  return names;
}

std::optional<HeldDirectory> HeldDirectory::current() {
  UniqueFd fd(RetryOnInterrupt([] { return ::open(".", kDirectoryHandleFlags); }));
  if (!fd.valid()) return std::nullopt;
  std::optional<FileIdentity> identity = IdentityOfOpen(fd.get());
  if (!identity) return std::nullopt;
  return HeldDirectory(fd.release(), *identity);
}

HeldDirectory::HeldDirectory(HeldDirectory&& other) noexcept
    : handle_(std::exchange(other.handle_, -1)), identity_(other.identity_) {}

HeldDirectory& HeldDirectory::operator=(HeldDirectory&& other) noexcept {
  if (this != &other) {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
    handle_ = std::exchange(other.handle_, -1);
    identity_ = other.identity_;
  }
  return *this;
}

HeldDirectory::~HeldDirectory() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

bool HeldDirectory::makeCurrent() const {
  return handle_ >= 0 && ::fchdir(static_cast<int>(handle_)) == 0;
}

WholeFileWriter::WholeFileWriter()
    : randomState_((std::uint64_t{std::random_device{}()} << 32) ^ std::random_device{}()) {}

WriteOutcome WholeFileWriter::write(std::string_view name, std::string_view bytes,
                                    ExistingFile existing) {
  if (!IsPlainName(name)) return WriteOutcome::Failed;
  const std::string target(name);
  InterruptsHeld held;
  UniqueFd fd(CreateExclusive(target));
  if (fd.valid()) return OutcomeOf(FinishFile(std::move(fd), target, bytes));
  if (errno != EEXIST) return WriteOutcome::Failed;
  if (existing == ExistingFile::Keep) return WriteOutcome::NameTaken;
  return OutcomeOf(ReplaceWhole(target, bytes, randomState_));
}

}  // namespace pelmo::platform
