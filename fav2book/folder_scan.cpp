#include "fav2book/folder_scan.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <utility>

#include "fav2book/path_fit.h"
#include "util/path.h"

namespace pelmo {

namespace {

bool IsOnChain(const FolderScan* level, const platform::FileIdentity& identity) {
  for (; level != nullptr; level = level->parent) {
    if (level->listing.identity() == identity) return true;
  }
  return false;
}

}  // namespace

FolderScan* ScanOpen(std::string_view searchPath) {
  if (searchPath.size() + 1 > platform::MaxPathSize()) return nullptr;
  const std::size_t tail = PathTail(searchPath);
  std::optional<platform::DirectoryListing> listing =
      platform::DirectoryListing::open(searchPath.substr(0, tail));
  if (!listing) return nullptr;

  auto* level = new FolderScan;
  level->listing = std::move(*listing);
  // A listing without any entry is a failed search, as the first find would be.
  if (!level->listing.next(level->entry)) {
    delete level;
    return nullptr;
  }
  level->directory = std::string(searchPath.substr(0, tail));
  level->pattern = std::string(searchPath.substr(tail));
  return level;
}

bool ScanIsDotEntry(const FolderScan& level) {
  const std::string& name = level.entry.name;
  return name == "." || name == "..";
}

ScanMove ScanAdvance(FolderScan* level) {
  if (ScanIsDotEntry(*level)) return {ScanNext(level), false};

  std::string searchPath = level->directory;
  if (!JoinWithinLimit(searchPath, level->entry.name) ||
      !JoinWithinLimit(searchPath, level->pattern)) {
    return {ScanNext(level), false};
  }
  FolderScan* child = ScanOpen(searchPath);
  if (child == nullptr) return {ScanNext(level), false};
  // A link back to a directory that is being walked would make the walk endless.
  if (IsOnChain(level, child->listing.identity())) {
    ScanLeave(child);
    return {ScanNext(level), false};
  }
  child->parent = level;
  return {child, true};
}

FolderScan* ScanNext(FolderScan* level) {
  while (level != nullptr) {
    if (level->listing.next(level->entry)) return level;
    level = ScanLeave(level);
  }
  return nullptr;
}

FolderScan* ScanLeave(FolderScan* level) {
  if (level == nullptr) return nullptr;
  FolderScan* parent = level->parent;
  if (parent != nullptr) {
    // Assigned, not added: when several levels are left in one move the count rides
    // up the chain and the level finally returned carries the total.
    const unsigned left = level->levelsLeft + 1u;
    parent->levelsLeft = static_cast<std::uint16_t>(left > std::numeric_limits<std::uint16_t>::max()
                                                        ? std::numeric_limits<std::uint16_t>::max()
                                                        : left);
  }
  delete level;
  return parent;
}

void ScanCloseAll(FolderScan* level) {
  while (level != nullptr) level = ScanLeave(level);
}

}  // namespace pelmo
