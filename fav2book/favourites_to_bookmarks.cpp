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
#include "fav2book/classic_bookmarks.h"
#include "fav2book/favourites_tree.h"
#include "fav2book/folder_scan.h"
#include "fav2book/merge_point.h"
#include "fav2book/modern_bookmarks.h"
#include "fav2book/path_fit.h"
#include "platform/charset.h"
#include "platform/file.h"
#include "platform/last_error.h"
#include "platform/replace.h"
#include "ui/messages.h"
#include "ui/progress.h"
#include "util/store_signature.h"

namespace pelmo {

namespace {

constexpr std::uint16_t kProgressRange = 800;
constexpr std::size_t kCopyChunk = 64 * 1024;

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

constexpr std::uint64_t kToTheEnd = UINT64_MAX;

// Copies count bytes of from, or all that is left (kToTheEnd), to to; with no to, the
// bytes are passed over.
bool CopyBytes(platform::File& from, std::uint64_t count, platform::ReplacementFile* to) {
  char chunk[kCopyChunk];
  for (std::uint64_t left = count; left > 0;) {
    const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(left, sizeof chunk));
    const std::size_t got = from.read(chunk, want);
    if (got == 0) return !from.readFailed() && count == kToTheEnd;
    if (to != nullptr && !to->write(std::string_view(chunk, got))) return false;
    left -= got;
  }
  return true;
}

// Merge keeps every old bookmark, streamed through a buffer: the old text up to the
// closing tag of its top-level list, the marker and the new entries, then what
// followed that list. A file whose top-level list never closes is kept whole, and a
// new list follows it.
bool WriteMerged(platform::File& old, platform::ReplacementFile& file, const TreeNode& root,
                 std::string_view title, const BookmarkDialect& dialect,
                 const ui::ProgressDialog& progress) {
  if (!old.rewind()) return false;
  const std::optional<MergePlan> plan = PlanMerge(old);
  if (!plan || !old.rewind()) return false;
  const TextEncoding encoding = plan->encoding;
  if (plan->listClosed) {
    if (!CopyBytes(old, plan->keepUntil, &file) ||
        !CopyBytes(old, plan->tailFrom - plan->keepUntil, nullptr) ||
        !file.write(EncodeText(dialect.mergeMarker(), encoding))) {
      return false;
    }
  } else if (!CopyBytes(old, kToTheEnd, &file) ||
             (plan->halfCharacterAtEnd && !file.write(std::string_view("\0", 1))) ||
             !file.write(EncodeText(plan->closing + dialect.appendedList(title), encoding))) {
    return false;
  }
  return WriteBookmarkTree(file, root, dialect, progress, encoding) &&
         CopyBytes(old, kToTheEnd, &file);
}

int PositionBeforeWriting(std::uint32_t collected) {
  const long long position = static_cast<long long>(kProgressRange) - collected;
  return static_cast<int>(std::max<long long>(position, INT_MIN));
}

// Whether the existing file is a browser's own store (a places.sqlite, a Bookmarks
// file): written over with HTML, or merged into, it would be lost to the browser.
// The file is left at its start for the merge.
bool IsBrowserStore(platform::File& existing) {
  std::string head(kStoreHeadSize, '\0');
  head.resize(existing.read(head.data(), head.size()));
  const bool store = !existing.readFailed() && (IsSqliteDatabase(head) || IsJsonObject(head));
  existing.rewind();
  return store;
}

// Settles the bookmark file before the long walk of the folder: nullopt gives up
// (its message shown, or none on Cancel). A file the user may not write is refused
// before anything is asked.
std::optional<Target> SettleExistingFile(const ConversionSettings& settings, ui::Backend& backend) {
  std::optional<platform::ReplacementFile> file;
  platform::ClearLastError();
  if (!settings.bookmarkFile.empty()) file = platform::ReplacementFile::open(settings.bookmarkFile);
  if (!file) {
    backend.showFailure(ui::message::kBookmarkFileNotOpened,
                        {settings.bookmarkFile, platform::LastErrorText()});
    return std::nullopt;
  }
  if (file->existing() == nullptr) return Target{std::move(*file)};
  if (IsBrowserStore(*file->existing())) {
    backend.showFailure(ui::message::kBookmarkFileNotOpened,
                        {settings.bookmarkFile, std::string(ui::message::kBrowserStoreNotWritten)});
    return std::nullopt;
  }
  const ui::OverwriteChoice choice =
      settings.automatic
          ? (settings.merge ? ui::OverwriteChoice::Merge : ui::OverwriteChoice::Replace)
          : backend.askOverwrite();
  if (choice == ui::OverwriteChoice::Cancel) return std::nullopt;
  return Target{std::move(*file), choice == ui::OverwriteChoice::Merge};
}

// The new file: created only now that the tree is collected, so that no temporary
// file stands beside the old one during the walk.
bool WriteBookmarkFile(Target& target, const TreeNode& root, std::string_view title,
                       const BookmarkDialect& dialect, const ui::ProgressDialog& progress) {
  if (!target.file.begin()) return false;
  platform::File* old = target.merge ? target.file.existing() : nullptr;
  const bool written = old != nullptr
                           ? WriteMerged(*old, target.file, root, title, dialect, progress)
                           : target.file.write(dialect.header(title)) &&
                                 WriteBookmarkTree(target.file, root, dialect, progress);
  return written && target.file.commit();
}

bool Convert(const ConversionSettings& settings, ui::Backend& backend) {
  platform::ClearLastError();
  std::optional<ScanChain> scan = OpenFavouritesScan(settings.favouritesFolder);
  if (!scan) {
    backend.showFailure(ui::message::kFavouritesFolderNotOpened,
                        {settings.favouritesFolder, platform::LastErrorText()});
    return false;
  }
  std::optional<Target> target = SettleExistingFile(settings, backend);
  if (!target) return false;

  ui::ProgressDialog progress;
  if (!settings.quiet) progress = ui::ProgressOpen(backend);
  ui::ProgressSetRange(progress, kProgressRange);
  ui::ProgressSetStep(progress, 1);

  const ClassicBookmarks classic;
  const ModernBookmarks modern;
  const BookmarkDialect& dialect =
      settings.modern ? static_cast<const BookmarkDialect&>(modern) : classic;
  FavouritesTree tree;
  const Collection collection =
      CollectFavourites(*scan, tree, progress, MakeTreeNode, settings.codePage, settings.modern);
  ui::ProgressSetStatus(progress, ui::message::kWritingConvertedFile);
  ui::ProgressSetPosition(progress, PositionBeforeWriting(collection.collected));
  const std::string title = platform::AnsiText(settings.codePage).text(settings.bookmarkTitle);
  // The walk's own failures (unreadable files) are no reason for this file.
  platform::ClearLastError();
  const bool written =
      !collection.outOfMemory && WriteBookmarkFile(*target, tree.root(), title, dialect, progress);
  // Read before the progress window closes, which may make system calls of its own;
  // nothing is allocated after a success, which must stay one.
  std::optional<ui::FailureDetail> writeFailure;
  if (!written) writeFailure = ui::FailureDetail{settings.bookmarkFile, platform::LastErrorText()};
  ui::ProgressClose(progress);

  if (writeFailure) {
    backend.showFailure(ui::message::kBookmarkFileNotWritten, *writeFailure);
    return false;
  }
  // Everything readable has been written; what could not be read is still a loss.
  if (collection.unreadable > 0) {
    backend.showMessage(ui::message::kSomeFavouritesNotRead, ui::Icon::Warning);
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
    backend.showMessage(ui::message::kBookmarkFileNotWritten, ui::Icon::Warning);
    return false;
  }
}

}  // namespace pelmo
