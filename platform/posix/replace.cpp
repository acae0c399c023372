#include "platform/replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <random>

#include "platform/posix/system_call.h"
#include "platform/posix/unique_fd.h"

namespace pelmo::platform {
namespace {

constexpr int kMaxLinkHops = 40;  // as the kernel's own limit
constexpr int kMaxNameAttempts = 100;

// Everything up to and including the last '/', or empty for a bare name.
std::string DirectoryPrefix(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
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

// The file that path names once links in its last component are followed, so
// that replacing it keeps the links; a dangling link leads to the missing file.
std::optional<std::string> FollowLinks(std::string path) {
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
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

UniqueFd CreateExclusive(const std::string& directory, std::string& path) {
  std::mt19937 random{std::random_device{}()};
  for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
    path = directory + TemporaryName(random);
    UniqueFd fd(RetryOnInterrupt([&] {
      return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    }));
    if (fd.valid() || errno != EEXIST) return fd;
  }
  return UniqueFd();
}

// Makes the rename itself durable. Some file systems cannot sync a directory; the
// new content is in place by then, so this cannot turn into a failure.
void SyncDirectoryOf(std::string_view path) {
  std::string directory = DirectoryPrefix(path);
  if (directory.empty()) directory = ".";
  UniqueFd fd(RetryOnInterrupt(
      [&] { return ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); }));
  if (fd.valid()) RetryOnInterrupt([&] { return ::fsync(fd.get()); });
}

}  // namespace

std::optional<ReplacementFile> ReplacementFile::create(std::string_view targetPath) {
  std::optional<std::string> target = FollowLinks(std::string(targetPath));
  if (!target || target->empty()) return std::nullopt;

  struct stat existing {};
  const bool exists = ::stat(target->c_str(), &existing) == 0;
  // Only a regular file may be replaced: a directory or device node is no bookmark file.
  if (exists && !S_ISREG(existing.st_mode)) return std::nullopt;

  std::string temporaryPath;
  UniqueFd fd = CreateExclusive(DirectoryPrefix(*target), temporaryPath);
  if (!fd.valid()) return std::nullopt;
  if (exists && ::fchmod(fd.get(), existing.st_mode & 07777) != 0) {
    ::unlink(temporaryPath.c_str());
    return std::nullopt;
  }
  return ReplacementFile(File(fd.release()), std::move(temporaryPath), std::move(*target));
}

bool ReplacementFile::commit() {
  if (!file_) return false;
  bool written = file_->sync();
  written = file_->close() && written;
  file_.reset();
  if (!written || ::rename(temporaryPath_.c_str(), targetPath_.c_str()) != 0) {
    discard();
    return false;
  }
  temporaryPath_.clear();
  committed_ = true;
  SyncDirectoryOf(targetPath_);
  return true;
}

}  // namespace pelmo::platform
