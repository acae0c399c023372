#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

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

bool IsAbsolutePath(std::string_view path);

// What a listed entry is, following links.
enum class EntryKind : std::uint8_t {
  Directory,
  File,        // a regular file
  Other,       // a pipe, a device, a dangling link: nothing to read
  Unreadable,  // there, but what it is could not be found out
};

struct DirectoryEntry {
  std::string name;
  EntryKind kind = EntryKind::Other;

  bool isDirectory() const { return kind == EntryKind::Directory; }
};

// Which directory a listing is of, so that a walk can tell when it comes back to one.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  friend auto operator<=>(const FileIdentity&, const FileIdentity&) = default;
};

// How reading a file of a listed directory went.
enum class FileReadStatus : std::uint8_t {
  Read,      // the whole file is in the buffer
  NotFile,   // gone, or not a regular file: nothing to read
  TooLarge,  // longer than the bound; the buffer holds no part of it
  Failed,    // could not be opened or read to its end
};

struct ListingOpen;

// The bytes of one file, in storage kept from one read to the next, so that reading
// many small files allocates once.
class ReadBuffer {
 public:
  std::string_view bytes() const { return {data_.get(), length_}; }

 private:
  friend class DirectoryListing;
  std::unique_ptr<char[]> data_;
  std::size_t capacity_ = 0;
  std::size_t length_ = 0;
};

// Every entry of one directory, "." and ".." included, in the system's order. The
// entries are read when the listing opens; the directory itself stays open, so its
// files and subdirectories are reached through it rather than through a path, and a
// walk has no path length limit below its top.
class DirectoryListing {
 public:
  // An empty path lists the current directory.
  static std::optional<DirectoryListing> open(std::string_view directoryPath);

  DirectoryListing(DirectoryListing&&) noexcept = default;
  DirectoryListing& operator=(DirectoryListing&&) noexcept = default;

  // The listing of a subdirectory named by one of this listing's entries.
  ListingOpen openChild(std::string_view name) const;

  // The next entry; false when there is none left.
  bool next(DirectoryEntry& entry);
  // Whether the system failed part-way, so that the entries are not all there.
  bool failed() const;
  // When the entry that next() gave last was last modified, in seconds since 1970
  // UTC; 0 when that cannot be found out. Asked only where it is needed, as on some
  // systems it costs a call per entry.
  std::int64_t modifiedTime(const DirectoryEntry& entry) const;
  const FileIdentity& identity() const { return identity_; }

  // Reads the whole of a file that the listing gave as a File, up to limit bytes.
  // Never blocks, even when the entry has become a pipe since it was listed.
  FileReadStatus readFile(std::string_view name, std::size_t limit, ReadBuffer& buffer) const;

 private:
  struct State;
  struct StateDeleter {
    void operator()(State* state) const;
  };

  using StatePointer = std::unique_ptr<State, StateDeleter>;

  DirectoryListing(StatePointer state, FileIdentity identity);
  // Reads the entries of the directory the state holds open.
  static ListingOpen list(StatePointer state);

  StatePointer state_;
  FileIdentity identity_;
};

// A listing, or whether there was a directory that could not be listed.
struct ListingOpen {
  std::optional<DirectoryListing> listing;
  bool failed = false;  // the directory is there but could not be listed
};

}  // namespace pelmo::platform
