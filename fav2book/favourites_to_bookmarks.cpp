#include "fav2book/favourites_to_bookmarks.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fav2book/bookmark_writer.h"
#include "fav2book/favourites_tree.h"
#include "fav2book/folder_scan.h"
#include "fav2book/path_fit.h"
#include "platform/directory.h"
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

// What the new file starts with, before the entries.
struct Preamble {
  std::string oldText;  // the kept part of the existing file
  bool merged = false;  // the marker follows instead of a header
};

std::optional<ScanChain> OpenFavouritesScan(const std::string& folder) {
  std::string searchPath = folder;
  if (!JoinWithinLimit(searchPath, "*.*")) return std::nullopt;
  return ScanOpen(searchPath);
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::optional<platform::File> file =
      platform::File::open(path, platform::FileAccess::ReadExisting);
  if (!file) return std::nullopt;
  std::string text;
  char chunk[65536];
  for (std::size_t got; (got = file->read(chunk, sizeof chunk)) > 0;) text.append(chunk, got);
  if (file->readFailed()) return std::nullopt;
  return text;
}

// Merge keeps the old bookmarks up to their last list end; a file without one is
// kept whole, and the new list follows it.
std::optional<Preamble> PrepareMerge(const std::string& path) {
  std::optional<std::string> old = ReadWholeFile(path);
  if (!old) return std::nullopt;
  Preamble preamble;
  const std::size_t mergePoint = FindMergePoint(*old);
  preamble.merged = mergePoint != 0;
  preamble.oldText = preamble.merged ? old->substr(0, mergePoint) : std::move(*old);
  return preamble;
}

bool WritePreamble(platform::ReplacementFile& file, const Preamble& preamble,
                   std::string_view title) {
  if (!file.write(preamble.oldText)) return false;
  if (preamble.merged) return file.write(kMergeMarker);
  return file.write(BookmarkHeader(title));
}

int PositionBeforeWriting(std::uint32_t collected) {
  const long long position = static_cast<long long>(kProgressRange) - collected;
  return static_cast<int>(std::max<long long>(position, INT_MIN));
}

// Settles an existing file: nullopt gives up (its message shown, or none on
// Cancel); otherwise the preamble to write.
std::optional<Preamble> SettleExistingFile(const ConversionSettings& settings,
                                           ui::Backend& backend) {
  if (settings.bookmarkFile.empty()) {
    backend.showMessage(kFileNotOpened, ui::Icon::Warning);
    return std::nullopt;
  }
  switch (platform::GetPathKind(settings.bookmarkFile)) {
    case platform::PathKind::Missing:
      return Preamble{};
    case platform::PathKind::File:
      break;
    default:  // a directory or a device is not a bookmark file to replace
      backend.showMessage(kFileNotOpened, ui::Icon::Warning);
      return std::nullopt;
  }
  const ui::OverwriteChoice choice =
      settings.automatic
          ? (settings.merge ? ui::OverwriteChoice::Merge : ui::OverwriteChoice::Replace)
          : backend.askOverwrite();
  if (choice == ui::OverwriteChoice::Cancel) return std::nullopt;
  if (choice == ui::OverwriteChoice::Replace) return Preamble{};
  std::optional<Preamble> merge = PrepareMerge(settings.bookmarkFile);
  if (!merge) backend.showMessage(kFileNotOpened, ui::Icon::Warning);
  return merge;
}

}  // namespace

bool ConvertFavouritesToBookmarks(const ConversionSettings& settings, ui::Backend& backend) {
  std::optional<ScanChain> scan = OpenFavouritesScan(settings.favouritesFolder);
  if (!scan) {
    backend.showMessage(kFolderNotOpened, ui::Icon::Warning);
    return false;
  }
  std::optional<Preamble> preamble = SettleExistingFile(settings, backend);
  if (!preamble) return false;
  std::optional<platform::ReplacementFile> file =
      platform::ReplacementFile::create(settings.bookmarkFile);
  if (!file) {
    backend.showMessage(kFileNotOpened, ui::Icon::Warning);
    return false;
  }

  ui::ProgressDialog progress;
  if (!settings.quiet) progress = ui::ProgressOpen(backend);
  ui::ProgressSetRange(progress, kProgressRange);
  ui::ProgressSetStep(progress, 1);

  bool written = WritePreamble(*file, *preamble, settings.bookmarkTitle);
  preamble.reset();
  FavouritesTree tree;
  const Collection collection = CollectFavourites(*scan, tree.root(), progress);
  ui::ProgressSetStatus(progress, "Writing converted file...");
  ui::ProgressSetPosition(progress, PositionBeforeWriting(collection.collected));
  written = written && !collection.outOfMemory && WriteBookmarkTree(*file, tree.root(), progress) &&
            file->commit();
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

}  // namespace pelmo
