#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/errors.h"

namespace pelmo::platform {

// The process's current directory.
ErrorCode ChangeDirectory(std::string_view path);
std::optional<std::string> CurrentDirectory();

// Creates one directory; kErrorAlreadyExists when something of that name is there.
ErrorCode MakeDirectory(std::string_view path);

enum class PathKind { Missing, File, Directory, Other };
// What a path names, following links.
PathKind GetPathKind(std::string_view path);
// Whether the path itself is a symbolic link (or another kind of redirection).
bool IsSymbolicLink(std::string_view path);

bool IsAbsolutePath(std::string_view path);

struct DirectoryEntry {
  std::string name;
  bool isDirectory = false;  // follows links
};

// Which directory a listing is of, so that a walk can tell when it comes back to one.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// Every entry of one directory, "." and ".." included, in the system's order.
// The entries are read when the listing opens, so no handle stays open while a
// walk goes deeper.
class DirectoryListing {
 public:
  // An empty path lists the current directory.
  static std::optional<DirectoryListing> open(std::string_view directoryPath);

  // The next entry; false when there is none left.
  bool next(DirectoryEntry& entry);
  const FileIdentity& identity() const { return identity_; }

 private:
  std::vector<DirectoryEntry> entries_;
  std::size_t position_ = 0;
  FileIdentity identity_;
};

}  // namespace pelmo::platform
