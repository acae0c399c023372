#include "fav2book/favourites_to_bookmarks.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "fav2book/bookmark_writer.h"
#include "fav2book/favourites_tree.h"
#include "fav2book/folder_scan.h"
#include "fav2book/path_fit.h"
#include "platform/charset.h"
#include "platform/file.h"
#include "platform/replace.h"
#include "ui/progress.h"

namespace pelmo {

namespace {

constexpr std::string_view kFolderNotOpened = "Unable to open Favourites folder!";
constexpr std::string_view kFileNotOpened = "Unable to open Bookmark file!";
constexpr std::string_view kFileNotWritten = "Unable to write Bookmark file!";
constexpr std::string_view kFavouritesUnread = "Unable to read some Favourites!";
constexpr std::uint16_t kProgressRange = 800;

// The settled bookmark file and what its new content starts with.
struct Target {
  platform::ReplacementFile file;
  bool merge = false;  // the old bookmarks come first
};

std::optional<ScanChain> OpenFavouritesScan(const std::string& folder) {
  std::string searchPath = folder;
  if (!JoinWithinLimit(searchPath, "*.*")) return std::nullopt;
  return ScanOpen(searchPath);
}

// Copies the first count bytes of from (all of them when count is 0).
bool CopyLeadingBytes(platform::File& from, std::uint64_t count, platform::ReplacementFile& to) {
  char chunk[kMergeScanChunk];
  for (std::uint64_t left = count;;) {
    std::size_t want = sizeof chunk;
    if (count != 0) want = static_cast<std::size_t>(std::min<std::uint64_t>(left, want));
    if (want == 0) return true;
    const std::size_t got = from.read(chunk, want);
    if (got == 0) return !from.readFailed() && count == 0;
    if (!to.write(std::string_view(chunk, got))) return false;
    left -= got;
  }
}

// Merge keeps the old bookmarks up to their last list end, streamed through a
// buffer; a file without one is kept whole, and the new list follows it.
bool WriteMergedStart(platform::File& old, platform::ReplacementFile& file,
                      std::string_view title) {
  if (!old.rewind()) return false;
  const std::optional<std::uint64_t> mergePoint = FindMergePoint(old);
  if (!mergePoint || !old.rewind() || !CopyLeadingBytes(old, *mergePoint, file)) return false;
  return file.write(*mergePoint != 0 ? kMergeMarker : BookmarkHeader(title));
}

bool WriteStart(Target& target, std::string_view title) {
  platform::File* old = target.merge ? target.file.existing() : nullptr;
  if (old != nullptr) return WriteMergedStart(*old, target.file, title);
  return target.file.write(BookmarkHeader(title));
}

int PositionBeforeWriting(std::uint32_t collected) {
  const long long position = static_cast<long long>(kProgressRange) - collected;
  return static_cast<int>(std::max<long long>(position, INT_MIN));
}

// Settles the bookmark file before the long walk of the folder: nullopt gives up
// (its message shown, or none on Cancel). A file the user may not write is refused
// before anything is asked.
std::optional<Target> SettleExistingFile(const ConversionSettings& settings, ui::Backend& backend) {
  std::optional<platform::ReplacementFile> file;
  if (!settings.bookmarkFile.empty()) file = platform::ReplacementFile::open(settings.bookmarkFile);
  if (!file) {
    backend.showMessage(kFileNotOpened, ui::Icon::Warning);
    return std::nullopt;
  }
  if (file->existing() == nullptr) return Target{std::move(*file)};
  const ui::OverwriteChoice choice =
      settings.automatic
          ? (settings.merge ? ui::OverwriteChoice::Merge : ui::OverwriteChoice::Replace)
          : backend.askOverwrite();
  if (choice == ui::OverwriteChoice::Cancel) return std::nullopt;
  return Target{std::move(*file), choice == ui::OverwriteChoice::Merge};
}

// The new file: created only now that the tree is collected, so that no temporary
// file stands beside the old one during the walk.
bool WriteBookmarkFile(Target& target, TreeNode& root, std::string_view title,
                       const ui::ProgressDialog& progress) {
  return target.file.begin() && WriteStart(target, title) &&
         WriteBookmarkTree(target.file, root, progress) && target.file.commit();
}

bool Convert(const ConversionSettings& settings, ui::Backend& backend) {
  std::optional<ScanChain> scan = OpenFavouritesScan(settings.favouritesFolder);
  if (!scan) {
    backend.showMessage(kFolderNotOpened, ui::Icon::Warning);
    return false;
  }
  std::optional<Target> target = SettleExistingFile(settings, backend);
  if (!target) return false;

  ui::ProgressDialog progress;
  if (!settings.quiet) progress = ui::ProgressOpen(backend);
  ui::ProgressSetRange(progress, kProgressRange);
  ui::ProgressSetStep(progress, 1);

  FavouritesTree tree;
  const Collection collection =
      CollectFavourites(*scan, tree.root(), progress, MakeTreeNode, settings.codePage);
  ui::ProgressSetStatus(progress, "Writing converted file...");
  ui::ProgressSetPosition(progress, PositionBeforeWriting(collection.collected));
  const std::string title = platform::AnsiText(settings.codePage).text(settings.bookmarkTitle);
  const bool written =
      !collection.outOfMemory && WriteBookmarkFile(*target, tree.root(), title, progress);
  ui::ProgressClose(progress);

  if (!written) {
    backend.showMessage(kFileNotWritten, ui::Icon::Warning);
    return false;
  }
  // Everything readable has been written; what could not be read is still a loss.
  if (collection.unreadable > 0) {
    backend.showMessage(kFavouritesUnread, ui::Icon::Warning);
    return false;
  }
  return true;
}

}  // namespace

bool ConvertFavouritesToBookmarks(const ConversionSettings& settings, ui::Backend& backend) {
  // Running out of memory anywhere gives up with the old file as it was: every
  // handle, the temporary file and the tree are released on the way out.
  try {
    return Convert(settings, backend);
  } catch (const std::bad_alloc&) {
    backend.showMessage(kFileNotWritten, ui::Icon::Warning);
    return false;
  }
}

}  // namespace pelmo
