#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/directory.h"

namespace pelmo {

// One directory of a depth-first walk. Each level points to the level of the
// directory that holds it, so the chain up to the top is the path of directories
// being walked.
struct FolderScan {
  FolderScan* parent = nullptr;
  platform::DirectoryEntry entry;  // the current entry
  platform::DirectoryListing listing;
  std::string directory;  // the search path up to and including its last separator
  std::string pattern;    // always "*.*", which matches every name
  // Levels left on the way to the current entry since the caller last cleared it.
  std::uint16_t levelsLeft = 0;
};

// The result of ScanAdvance: where the walk went, and whether it went into the
// directory entry it was given (false for dot entries and directories that could
// not be listed, or that are already on the chain).
struct ScanMove {
  FolderScan* level = nullptr;
  bool entered = false;
};

// A new top level on a search path (directory joined with the pattern) whose first
// entry is current; null when the directory cannot be listed or the path is too long.
FolderScan* ScanOpen(std::string_view searchPath);
// True for the entries "." and "..".
bool ScanIsDotEntry(const FolderScan& level);
// Descends into the current entry, a directory, where possible; otherwise as ScanNext.
ScanMove ScanAdvance(FolderScan* level);
// The next entry of the walk without descending; null when the walk is over.
FolderScan* ScanNext(FolderScan* level);
// Closes and frees the level; returns its parent, which learns how many levels were left.
FolderScan* ScanLeave(FolderScan* level);
// Closes and frees the level and every level above it.
void ScanCloseAll(FolderScan* level);

// Owns a scan chain until the walk takes it over, so that an early return closes it.
class ScanChain {
 public:
  explicit ScanChain(FolderScan* level) : level_(level) {}
  ~ScanChain() { ScanCloseAll(level_); }
  ScanChain(const ScanChain&) = delete;
  ScanChain& operator=(const ScanChain&) = delete;

  FolderScan* get() const { return level_; }
  FolderScan* release() {
    FolderScan* level = level_;
    level_ = nullptr;
    return level;
  }

 private:
  FolderScan* level_;
};

}  // namespace pelmo
