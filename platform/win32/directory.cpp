#include "platform/directory.h"

#include "platform/file_time.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/path_identity.h"
#include "platform/win32/windows_headers.h"

namespace pelmo::platform {
namespace {

ErrorCode LastError() {
  return static_cast<ErrorCode>(::GetLastError());
}

bool IsSeparator(char byte) {
  return byte == '\\' || byte == '/';
}

struct FindCloser {
  HANDLE handle;
  ~FindCloser() { ::FindClose(handle); }
};

struct HandleCloser {
  HANDLE handle;
  ~HandleCloser() { ::CloseHandle(handle); }
};

// Failures that mean there is nothing of that name to list or read (any more).
bool IsGone(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
         error == ERROR_DIRECTORY || error == ERROR_INVALID_NAME;
}

// The directory's path ready for a name to follow; empty for the current directory.
std::string WithSeparator(std::string_view directory) {
  std::string path(directory);
  if (!path.empty() && !IsSeparator(path.back()) && path.back() != ':') path += '\\';
  return path;
}

}  // namespace

ErrorCode ChangeDirectory(std::string_view path) {
  const std::string terminated(path);
  return ::SetCurrentDirectoryA(terminated.c_str()) ? kErrorNone : LastError();
}

ErrorCode MakeDirectory(std::string_view path) {
  const std::string terminated(path);
  return ::CreateDirectoryA(terminated.c_str(), nullptr) ? kErrorNone : LastError();
}

std::optional<std::string> CurrentDirectory() {
  std::string buffer(MAX_PATH, '\0');
  DWORD length = ::GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
  if (length >= buffer.size()) {
    buffer.assign(length + 1, '\0');
    length = ::GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
  }
  if (length == 0 || length >= buffer.size()) return std::nullopt;
  buffer.resize(length);
  return buffer;
}

PathKind GetPathKind(std::string_view path) {
  const std::string terminated(path);
  const DWORD attributes = ::GetFileAttributesA(terminated.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::Missing;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return PathKind::Directory;
  if (attributes & FILE_ATTRIBUTE_DEVICE) return PathKind::Other;
  return PathKind::File;
}

// "C:name" counts too: joined behind another directory it would name nothing.
bool IsAbsolutePath(std::string_view path) {
  if (!path.empty() && IsSeparator(path.front())) return true;
  return path.size() >= 2 && path[1] == ':';
}

struct DirectoryListing::State {
  std::string path;  // ends with a separator, or is empty for the current directory
  std::vector<WIN32_FIND_DATAA> entries;
  std::size_t position = 0;
  bool failed = false;
  // The entry last handed out: the name it was given as, its short name (empty when
  // it has none), and whether its long name cannot be opened at all.
  std::string shownName;
  std::string shortName;
  bool longNameUnusable = false;

  // The paths to try for a listed name, in order: the long name first, unless the
  // system gave it with '?' for characters that the ANSI code page lacks; then the
  // short name, for a long name that the system gave with look-alikes for them.
  std::vector<std::string> pathsOf(std::string_view name) const {
    if (name != shownName || shortName.empty()) return {path + std::string(name)};
    if (longNameUnusable) return {path + shortName};
    return {path + std::string(name), path + shortName};
  }
  // Whether a listed name is there for certain, so that failing to open it is no sign
  // that it is gone: it could be reached only by its short name.
  bool surelyThere(std::string_view name) const { return name == shownName && longNameUnusable; }
};

void DirectoryListing::StateDeleter::operator()(State* state) const {
  delete state;
}

DirectoryListing::DirectoryListing(StatePointer state, FileIdentity identity)
    : state_(std::move(state)), identity_(identity) {}

ListingOpen DirectoryListing::list(StatePointer state) {
  const std::string pattern = state->path + "*.*";
  WIN32_FIND_DATAA found{};
  HANDLE handle = ::FindFirstFileA(pattern.c_str(), &found);
  if (handle == INVALID_HANDLE_VALUE) return {std::nullopt, !IsGone(::GetLastError())};
  FindCloser closer{handle};

  bool sawDot = false;
  bool sawDotDot = false;
  do {
    const std::string_view name = found.cFileName;
    sawDot = sawDot || name == ".";
    sawDotDot = sawDotDot || name == "..";
    state->entries.push_back(found);
  } while (::FindNextFileA(handle, &found));
  state->failed = ::GetLastError() != ERROR_NO_MORE_FILES;
  // The root of a drive lists no dots, but callers count on them.
  for (const char* dot : {".", ".."}) {
    if ((dot[1] == '\0' && sawDot) || (dot[1] == '.' && sawDotDot)) continue;
    WIN32_FIND_DATAA added{};
    added.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
    std::snprintf(added.cFileName, sizeof added.cFileName, "%s", dot);
    state->entries.push_back(added);
  }
  const FileIdentity identity = IdentityOfPath(state->path.empty() ? "." : state->path);
  return {DirectoryListing(std::move(state), identity), false};
}

std::optional<DirectoryListing> DirectoryListing::open(std::string_view directoryPath) {
  StatePointer state(new State);
  state->path = WithSeparator(directoryPath);
  return list(std::move(state)).listing;
}

ListingOpen DirectoryListing::openChild(std::string_view name) const {
  ListingOpen opened;
  for (const std::string& path : state_->pathsOf(name)) {
    StatePointer state(new State);
    state->path = WithSeparator(path);
    opened = list(std::move(state));
    if (opened.listing || opened.failed) return opened;
  }
  opened.failed = state_->surelyThere(name);
  return opened;
}

bool DirectoryListing::next(DirectoryEntry& entry) {
  State& state = *state_;
  if (state.position >= state.entries.size()) return false;
  const WIN32_FIND_DATAA& found = state.entries[state.position++];
  entry.name = found.cFileName;
  state.shortName = found.cAlternateFileName;
  // A long name with characters the ANSI code page lacks may come with '?' for each of
  // them, which no name may hold: it is opened through its short name, and shown with
  // '_', as names made from titles show such characters.
  state.longNameUnusable = entry.name.find('?') != std::string::npos;
  if (state.longNameUnusable) {
    if (state.shortName.empty()) {
      entry.kind = EntryKind::Unreadable;
      return true;
    }
    std::replace(entry.name.begin(), entry.name.end(), '?', '_');
  }
  state.shownName = entry.name;
  if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    entry.kind = EntryKind::Directory;
  } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) {
    entry.kind = EntryKind::Other;
  } else {
    entry.kind = EntryKind::File;
  }
  return true;
}

bool DirectoryListing::failed() const {
  return state_->failed;
}

// The listing holds the time already: no call is made.
std::int64_t DirectoryListing::modifiedTime(const DirectoryEntry&) const {
  const State& state = *state_;
  if (state.position == 0) return 0;
  const FILETIME& written = state.entries[state.position - 1].ftLastWriteTime;
  return UnixTimeFromFileTime(static_cast<std::uint64_t>(written.dwHighDateTime) << 32 |
                              written.dwLowDateTime);
}

FileReadStatus DirectoryListing::readFile(std::string_view name, std::size_t limit,
                                          ReadBuffer& buffer) const {
  // Reads one path; gone: it names nothing (any more).
  auto readPath = [limit, &buffer](const std::string& path, bool& gone) {
    buffer.length_ = 0;
    auto failure = [&gone] {
      gone = IsGone(::GetLastError());
      return FileReadStatus::Failed;
    };
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return failure();
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) {
      return FileReadStatus::NotFile;
    }
    HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return failure();
    HandleCloser closer{handle};
    if (::GetFileType(handle) != FILE_TYPE_DISK) return FileReadStatus::NotFile;
    DWORD high = 0;
    const DWORD low = ::GetFileSize(handle, &high);
    if (low == INVALID_FILE_SIZE && ::GetLastError() != NO_ERROR) return FileReadStatus::Failed;
    if (high != 0 || low > limit) return FileReadStatus::TooLarge;
    // One byte more than the size tells a file that grew since.
    const std::size_t wanted = static_cast<std::size_t>(low) + 1;
    if (buffer.capacity_ < wanted) {
      buffer.data_ = std::make_unique_for_overwrite<char[]>(wanted);
      buffer.capacity_ = wanted;
    }
    std::size_t length = 0;
    for (;;) {
      DWORD got = 0;
      if (!::ReadFile(handle, buffer.data_.get() + length, static_cast<DWORD>(wanted - length),
                      &got, nullptr)) {
        return FileReadStatus::Failed;
      }
      if (got == 0) break;
      length += got;
      if (length == wanted) return FileReadStatus::TooLarge;
    }
    buffer.length_ = length;
    return FileReadStatus::Read;
  };
  for (const std::string& path : state_->pathsOf(name)) {
    bool gone = false;
    const FileReadStatus status = readPath(path, gone);
    if (!gone) return status;
  }
  return state_->surelyThere(name) ? FileReadStatus::Failed : FileReadStatus::NotFile;
}

FileIdentity IdentityOfPath(const std::string& path) {
  char full[MAX_PATH];
  const DWORD length = ::GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
  std::string key = length > 0 && length < MAX_PATH ? std::string(full, length) : path;
  while (key.size() > 3 && IsSeparator(key.back())) key.pop_back();
  if (!key.empty()) ::CharUpperBuffA(key.data(), static_cast<DWORD>(key.size()));
  // 64-bit FNV-1a: collisions are out of reach for the folders of one run.
  std::uint64_t hash = 14695981039346656037ULL;
  for (char byte : key) {
    hash ^= static_cast<unsigned char>(byte);
    hash *= 1099511628211ULL;
  }
  return {0, hash};
}

}  // namespace pelmo::platform
