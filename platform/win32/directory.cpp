#include "platform/directory.h"

#include <string>

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

// The Windows 95 family has no links and no file ids for folders, so the full path,
// letter case folded as the file system folds it, tells one folder from another.
FileIdentity IdentityOf(const std::string& directory) {
  char full[MAX_PATH];
  DWORD length = ::GetFullPathNameA(directory.c_str(), MAX_PATH, full, nullptr);
  std::string path = length > 0 && length < MAX_PATH ? std::string(full, length) : directory;
  while (path.size() > 3 && IsSeparator(path.back())) path.pop_back();
  if (!path.empty()) ::CharUpperBuffA(path.data(), static_cast<DWORD>(path.size()));
  // 64-bit FNV-1a: collisions are out of reach for the folders of one walk.
  std::uint64_t hash = 14695981039346656037ULL;
  for (char byte : path) {
    hash ^= static_cast<unsigned char>(byte);
    hash *= 1099511628211ULL;
  }
  return {0, hash};
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

bool IsSymbolicLink(std::string_view path) {
  const std::string terminated(path);
  const DWORD attributes = ::GetFileAttributesA(terminated.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// "C:name" counts too: joined behind another directory it would name nothing.
bool IsAbsolutePath(std::string_view path) {
  if (!path.empty() && IsSeparator(path.front())) return true;
  return path.size() >= 2 && path[1] == ':';
}

std::optional<DirectoryListing> DirectoryListing::open(std::string_view directoryPath) {
  std::string directory = directoryPath.empty() ? "." : std::string(directoryPath);
  std::string pattern = directory;
  if (!IsSeparator(pattern.back()) && pattern.back() != ':') pattern += '\\';
  pattern += "*.*";

  WIN32_FIND_DATAA found{};
  HANDLE handle = ::FindFirstFileA(pattern.c_str(), &found);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  FindCloser closer{handle};

  DirectoryListing listing;
  listing.identity_ = IdentityOf(directory);
  bool sawDot = false;
  bool sawDotDot = false;
  do {
    std::string name = found.cFileName;
    sawDot = sawDot || name == ".";
    sawDotDot = sawDotDot || name == "..";
    const bool isDirectory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    listing.entries_.push_back({std::move(name), isDirectory});
  } while (::FindNextFileA(handle, &found));
  // The root of a drive lists no dots, but callers count on them.
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
