#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string_view>
#include <vector>

#include "platform/directory.h"

namespace pelmo {

// One directory of a depth-first walk: its listing, held open, and its current entry.
struct FolderScan {
  platform::DirectoryListing listing;
  platform::DirectoryEntry entry;
};

// A depth-first walk of a directory tree: the levels from the top directory down to
// the one being listed. Each directory is walked at most once, however many links
// lead to it, so neither a link loop nor links that fan out can multiply the walk.
class ScanChain {
 public:
  bool atEnd() const { return levels_.empty(); }
  // The level being listed; only while not at the end.
  const FolderScan& level() const { return levels_.back(); }
  const platform::DirectoryEntry& entry() const { return levels_.back().entry; }

  // Levels left on the way to the current entry since the caller last took them.
  std::uint32_t takeLevelsLeft();
  // Directories that could not be listed, whole or in part, so far.
  std::uint32_t unreadable() const { return unreadable_; }

 private:
  friend std::optional<ScanChain> ScanOpen(std::string_view searchPath);
  friend bool ScanAdvance(ScanChain& chain);
  friend void ScanNext(ScanChain& chain);
  friend void ScanCloseAll(ScanChain& chain);

  bool enter(platform::DirectoryListing listing);

  std::vector<FolderScan> levels_;
  std::set<platform::FileIdentity> walked_;
  std::uint32_t levelsLeft_ = 0;
  std::uint32_t unreadable_ = 0;
};

// A walk on a search path (directory joined with the pattern) whose first entry is
// current; nothing when the directory cannot be listed or the path is too long.
std::optional<ScanChain> ScanOpen(std::string_view searchPath);
// True for the entries "." and "..".
bool ScanIsDotEntry(const platform::DirectoryEntry& entry);
// Descends into the current entry, a directory, where possible, otherwise moves on as
// ScanNext does; true when it descended.
bool ScanAdvance(ScanChain& chain);
// Moves to the next entry of the walk without descending, leaving every directory
// that has no entry left.
void ScanNext(ScanChain& chain);
// Leaves every level at once.
void ScanCloseAll(ScanChain& chain);

}  // namespace pelmo
