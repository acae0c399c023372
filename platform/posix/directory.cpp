#include "platform/directory.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <memory>
#include <string>

#include "platform/posix/error_mapping.h"
#include "platform/posix/system_call.h"
#include "platform/posix/unique_fd.h"

namespace pelmo::platform {
namespace {

struct DirectoryCloser {
  void operator()(DIR* directory) const { ::closedir(directory); }
};
using DirectoryStream = std::unique_ptr<DIR, DirectoryCloser>;

bool IsDotEntry(std::string_view name) {
  return name == "." || name == "..";
}

// d_type saves a stat per entry; links and file systems that leave it blank are
// looked up, following the link, so a dangling link is no directory.
bool EntryIsDirectory(int directoryFd, const dirent& entry) {
  if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) return entry.d_type == DT_DIR;
  struct stat status {};
  return ::fstatat(directoryFd, entry.d_name, &status, 0) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

ErrorCode ChangeDirectory(std::string_view path) {
  const std::string terminated(path);
  if (::chdir(terminated.c_str()) == 0) return kErrorNone;
  return ErrorCodeForPath(errno, path);
}

ErrorCode MakeDirectory(std::string_view path) {
  const std::string terminated(path);
  if (::mkdir(terminated.c_str(), 0777) == 0) return kErrorNone;
  return ErrorCodeForPath(errno, path);
}

std::optional<std::string> CurrentDirectory() {
  std::string buffer(PATH_MAX, '\0');
  while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return std::nullopt;
    buffer.resize(buffer.size() * 2);
  }
  buffer.resize(buffer.find('\0'));
  return buffer;
}

PathKind GetPathKind(std::string_view path) {
  const std::string terminated(path);
  struct stat status {};
  if (::stat(terminated.c_str(), &status) != 0) return PathKind::Missing;
  if (S_ISDIR(status.st_mode)) return PathKind::Directory;
  if (S_ISREG(status.st_mode)) return PathKind::File;
  return PathKind::Other;
}

bool IsSymbolicLink(std::string_view path) {
  const std::string terminated(path);
  struct stat status {};
  return ::lstat(terminated.c_str(), &status) == 0 && S_ISLNK(status.st_mode);
}

bool IsAbsolutePath(std::string_view path) {
  return !path.empty() && path.front() == '/';
}

std::optional<DirectoryListing> DirectoryListing::open(std::string_view directoryPath) {
  const std::string terminated = directoryPath.empty() ? "." : std::string(directoryPath);
  UniqueFd fd(RetryOnInterrupt(
      [&] { return ::open(terminated.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY); }));
  if (!fd.valid()) return std::nullopt;

  DirectoryListing listing;
  struct stat status {};
  if (::fstat(fd.get(), &status) != 0) return std::nullopt;
  listing.identity_ = {static_cast<std::uint64_t>(status.st_dev),
                       static_cast<std::uint64_t>(status.st_ino)};

  const int directoryFd = fd.get();
  DirectoryStream stream(::fdopendir(directoryFd));
  if (!stream) return std::nullopt;
  fd.release();  // the stream owns it now

  bool sawDot = false;
  bool sawDotDot = false;
  // A failing readdir ends the listing with what was read, as a failing
  // enumeration step ends a level elsewhere.
  while (const dirent* entry = ::readdir(stream.get())) {
    std::string name = entry->d_name;
    sawDot = sawDot || name == ".";
    sawDotDot = sawDotDot || name == "..";
    const bool isDirectory = IsDotEntry(name) || EntryIsDirectory(directoryFd, *entry);
    listing.entries_.push_back({std::move(name), isDirectory});
  }
  // An empty directory must still list something, as callers count on the dots.
  if (!sawDot) listing.entries_.push_back({".", true});
  if (!sawDotDot) listing.entries_.push_back({"..", true});
  return listing;
}

bool DirectoryListing::next(DirectoryEntry& entry) {
  if (position_ >= entries_.size()) return false;
  entry = std::move(entries_[position_++]);
  return true;
}

}  // namespace pelmo::platform
