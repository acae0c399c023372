#include "fav2book/folder_scan.h"

#include <limits>
#include <new>
#include <utility>

#include "platform/paths.h"
#include "util/path.h"

namespace pelmo {

std::uint32_t ScanChain::takeLevelsLeft() {
  return std::exchange(levelsLeft_, 0);
}

bool ScanChain::enter(platform::DirectoryListing listing) {
  // A directory reached again through a link is passed over, not counted as lost:
  // its entries are in the walk already, or are being walked.
  if (!walked_.insert(listing.identity()).second) return false;
  FolderScan level{std::move(listing), {}};
  if (!level.listing.next(level.entry)) {
    if (level.listing.failed()) ++unreadable_;
    return false;
  }
  levels_.push_back(std::move(level));
  return true;
}

std::optional<ScanChain> ScanOpen(std::string_view searchPath) {
  if (searchPath.size() + 1 > platform::MaxPathSize()) return std::nullopt;
  try {
    std::optional<platform::DirectoryListing> listing =
        platform::DirectoryListing::open(searchPath.substr(0, PathTail(searchPath)));
    ScanChain chain;
    if (!listing || !chain.enter(std::move(*listing))) return std::nullopt;
    return chain;
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

bool ScanIsDotEntry(const platform::DirectoryEntry& entry) {
  return entry.name == "." || entry.name == "..";
}

bool ScanAdvance(ScanChain& chain) {
  const FolderScan& level = chain.levels_.back();
  if (!ScanIsDotEntry(level.entry)) {
    platform::ListingOpen child = level.listing.openChild(level.entry.name);
    if (child.listing && chain.enter(std::move(*child.listing))) return true;
    if (child.failed) ++chain.unreadable_;
  }
  ScanNext(chain);
  return false;
}

void ScanNext(ScanChain& chain) {
  while (!chain.levels_.empty()) {
    FolderScan& level = chain.levels_.back();
    if (level.listing.next(level.entry)) return;
    if (level.listing.failed()) ++chain.unreadable_;
    chain.levels_.pop_back();
    // The end of the top level is the end of the walk, not a level left.
    if (!chain.levels_.empty() && chain.levelsLeft_ < std::numeric_limits<std::uint32_t>::max()) {
      ++chain.levelsLeft_;
    }
  }
}

void ScanCloseAll(ScanChain& chain) {
  chain.levels_.clear();
}

}  // namespace pelmo
