#include "platform/directory.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "platform/posix/error_mapping.h"
#include "platform/posix/protected_path.h"
#include "platform/posix/system_call.h"
#include "platform/posix/unique_fd.h"

namespace pelmo::platform {
namespace {

struct DirectoryCloser {
  void operator()(DIR* directory) const { ::closedir(directory); }
};
using DirectoryStream = std::unique_ptr<DIR, DirectoryCloser>;

constexpr int kDirectoryOpenFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY;
// Enough for any ordinary shortcut file in one read; allocated once per buffer.
constexpr std::size_t kFirstReadSize = 16 * 1024;

bool IsDotEntry(std::string_view name) {
  return name == "." || name == "..";
}

// Failures that mean there is nothing of that name to list or read (any more).
bool IsGone(int error) {
  return error == ENOENT || error == ENOTDIR || error == ELOOP;
}

struct ListedName {
  std::size_t offset;
  std::size_t length;
  unsigned char type;  // d_type
};

// d_type saves a stat per entry; links and file systems that leave it blank are
// looked up, following the link, so a dangling link is nothing to read.
EntryKind KindOf(int directoryFd, const std::string& name, unsigned char type) {
  if (IsDotEntry(name)) return EntryKind::Directory;
  switch (type) {
    case DT_DIR:
      return EntryKind::Directory;
    case DT_REG:
      return EntryKind::File;
    case DT_LNK:
    case DT_UNKNOWN:
      break;
    default:
      return EntryKind::Other;
  }
  struct stat status {};
  if (::fstatat(directoryFd, name.c_str(), &status, 0) != 0) {
    return IsGone(errno) ? EntryKind::Other : EntryKind::Unreadable;
  }
  if (S_ISDIR(status.st_mode)) return EntryKind::Directory;
  return S_ISREG(status.st_mode) ? EntryKind::File : EntryKind::Other;
}

}  // namespace

ErrorCode ChangeDirectory(std::string_view path) {
  if (path.empty()) return ErrorCodeForPath(ENOENT, path);
  const UniqueFd directory = OpenDirectoryProtected(path);
  if (directory.valid() && ::fchdir(directory.get()) == 0) return kErrorNone;
  return ErrorCodeForPath(errno, path);
}

ErrorCode MakeDirectory(std::string_view path) {
  // As mkdir, a separator at the end names the directory to be made.
  std::string_view made = path;
  while (made.size() > 1 && made.back() == '/') made.remove_suffix(1);
  if (made.empty()) return ErrorCodeForPath(ENOENT, path);
  const std::optional<PathEnd> end = OpenParentProtected(made);
  if (end && ::mkdirat(end->directory.get(), end->name.c_str(), 0777) == 0) return kErrorNone;
  // A path that names a directory ("/", "a/.") is one that already exists, as mkdir says.
  if (!end && errno == EISDIR) return ErrorCodeForPath(EEXIST, path);
  // A path that ends in a dot names no entry to be made: mkdir says what it is.
  if (!end && (made == "/" || made == "." || made == ".." || made.ends_with("/.") ||
               made.ends_with("/.."))) {
    const std::string terminated(made);
    if (::mkdir(terminated.c_str(), 0777) == 0) return kErrorNone;
  }
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

bool IsAbsolutePath(std::string_view path) {
  return !path.empty() && path.front() == '/';
}

struct DirectoryListing::State {
  UniqueFd directory;
  // Names, each with its terminator, so that a large directory costs a few
  // allocations rather than one per entry.
  std::string names;
  std::vector<ListedName> entries;
  std::size_t position = 0;
  bool failed = false;

  void add(std::string_view name, unsigned char type) {
    entries.push_back({names.size(), name.size(), type});
    names.append(name);
    names.push_back('\0');
  }
};

void DirectoryListing::StateDeleter::operator()(State* state) const {
  delete state;
}

DirectoryListing::DirectoryListing(StatePointer state, FileIdentity identity)
    : state_(std::move(state)), identity_(identity) {}

ListingOpen DirectoryListing::list(StatePointer state) {
  struct stat status {};
  if (::fstat(state->directory.get(), &status) != 0) return {std::nullopt, true};
  const FileIdentity identity{static_cast<std::uint64_t>(status.st_dev),
                              static_cast<std::uint64_t>(status.st_ino)};
  // The stream gets a descriptor of its own, so that closing it leaves the
  // directory open for what is reached through it.
  UniqueFd streamFd(::fcntl(state->directory.get(), F_DUPFD_CLOEXEC, 0));
  if (!streamFd.valid()) return {std::nullopt, true};
  DirectoryStream stream(::fdopendir(streamFd.get()));
  if (!stream) return {std::nullopt, true};
  streamFd.release();  // the stream owns it now

  bool sawDot = false;
  bool sawDotDot = false;
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(stream.get());
    if (entry == nullptr) {
      state->failed = errno != 0;
      break;
    }
    const std::string_view name = entry->d_name;
    sawDot = sawDot || name == ".";
    sawDotDot = sawDotDot || name == "..";
    state->add(name, entry->d_type);
  }
  // An empty directory must still list something, as callers count on the dots.
  if (!sawDot) state->add(".", DT_DIR);
  if (!sawDotDot) state->add("..", DT_DIR);
  return {DirectoryListing(std::move(state), identity), false};
}

std::optional<DirectoryListing> DirectoryListing::open(std::string_view directoryPath) {
  StatePointer state(new State);
  state->directory = OpenDirectoryProtected(directoryPath);
  if (!state->directory.valid()) return std::nullopt;
  return list(std::move(state)).listing;
}

ListingOpen DirectoryListing::openChild(std::string_view name) const {
  const std::string terminated(name);
  StatePointer state(new State);
  state->directory.reset(RetryOnInterrupt(
      [&] { return ::openat(state_->directory.get(), terminated.c_str(), kDirectoryOpenFlags); }));
  // Running out of descriptors is a failure like any other: the folder is there.
  if (!state->directory.valid()) return {std::nullopt, !IsGone(errno)};
  return list(std::move(state));
}

bool DirectoryListing::next(DirectoryEntry& entry) {
  State& state = *state_;
  if (state.position >= state.entries.size()) return false;
  const ListedName& listed = state.entries[state.position++];
  entry.name.assign(state.names, listed.offset, listed.length);
  entry.kind = KindOf(state.directory.get(), entry.name, listed.type);
  return true;
}

bool DirectoryListing::failed() const {
  return state_->failed;
}

std::int64_t DirectoryListing::modifiedTime(const DirectoryEntry& entry) const {
  struct stat status {};
  if (::fstatat(state_->directory.get(), entry.name.c_str(), &status, 0) != 0) return 0;
  return status.st_mtime > 0 ? static_cast<std::int64_t>(status.st_mtime) : 0;
}

FileReadStatus DirectoryListing::readFile(std::string_view name, std::size_t limit,
                                          ReadBuffer& buffer) const {
  buffer.length_ = 0;
  const std::string terminated(name);
  // O_NONBLOCK stays set: a regular file ignores it, and an entry that has become a
  // pipe since it was listed must not stall the walk.
  UniqueFd fd(RetryOnInterrupt([&] {
    return ::openat(state_->directory.get(), terminated.c_str(),
                    O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  }));
  if (!fd.valid()) {
    return IsGone(errno) || errno == ENXIO ? FileReadStatus::NotFile : FileReadStatus::Failed;
  }
  std::size_t length = 0;
  for (;;) {
    if (length == buffer.capacity_) {
      if (length > limit) return FileReadStatus::TooLarge;
      const std::size_t capacity =
          std::min(std::max(buffer.capacity_ * 2, kFirstReadSize), limit + 1);
      auto grown = std::make_unique_for_overwrite<char[]>(capacity);
      std::copy_n(buffer.data_.get(), length, grown.get());
      buffer.data_ = std::move(grown);
      buffer.capacity_ = capacity;
    }
    const ssize_t got = RetryOnInterrupt(
        [&] { return ::read(fd.get(), buffer.data_.get() + length, buffer.capacity_ - length); });
    if (got < 0) return errno == EISDIR ? FileReadStatus::NotFile : FileReadStatus::Failed;
    length += static_cast<std::size_t>(got);
    // A regular file reads short only at its end; asking again to see the end would
    // cost every shortcut file a second system call.
    if (length < buffer.capacity_) break;
  }
  if (length > limit) return FileReadStatus::TooLarge;
  buffer.length_ = length;
  return FileReadStatus::Read;
}

}  // namespace pelmo::platform
