#include "book2fav/bookmarks_to_favourites.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <string>

#include "book2fav/bookmark_sources.h"
#include "book2fav/favourites_folder.h"
#include "book2fav/favourites_walk.h"
#include "platform/charset.h"
#include "platform/directory.h"
#include "platform/file.h"
#include "platform/last_error.h"
#include "ui/messages.h"
#include "ui/progress.h"
#include "util/path.h"

namespace pelmo {
namespace {

// A relative bookmark path names a file below the directory the run started in, not
// below the Favourites folder that the run makes current.
std::string ResolveBookmarkPath(std::string_view path) {
  if (path.empty() || platform::IsAbsolutePath(path)) return std::string(path);
  std::optional<std::string> current = platform::CurrentDirectory();
  if (!current) return std::string(path);
  std::string resolved = *current;
  PathJoin(resolved, path, resolved.size() + path.size() + 2);
  return resolved;
}

// Hands the items of a source to the walk, in the system's encoding.
class WalkSink final : public BookmarkItemSink {
 public:
  explicit WalkSink(FavouritesWalk& walk) : walk_(walk) {}

  void take(const BookmarkItem& item) override {
    // Sources give UTF-8, so the system's encoding comes last.
    if (native_) {
      walk_.handleItem(item.kind, native_->convertUrl(item.url), native_->convert(item.name),
                       item.added);
    } else {
      walk_.handleItem(item.kind, item.url, item.name, item.added);
    }
  }

 private:
  FavouritesWalk& walk_;
  std::optional<platform::TextConverter> native_ = platform::TextConverter::open("UTF-8");
};

// Why the bookmark file cannot be read, for the detail line: the source's reason, else
// the system's last error.
ui::FailureDetail ReadFailure(const std::string& path, const BookmarkSource* source) {
  std::string reason = source ? source->failure().reason : std::string();
  if (reason.empty()) reason = platform::LastErrorText();
  return {path, std::move(reason)};
}

bool Convert(const ConversionSettings& settings, ui::Backend& backend) {
  std::string bookmarkPath = ResolveBookmarkPath(settings.bookmarkFile);
  platform::ClearLastError();
  std::optional<platform::File> file =
      platform::File::open(bookmarkPath, platform::FileAccess::ReadExisting);
  if (!file) {
    backend.showFailure(ui::message::kBookmarkFileNotOpened,
                        {bookmarkPath, platform::LastErrorText()});
    return false;
  }

  ui::ProgressDialog progress;
  if (!settings.quiet) progress = ui::ProgressOpen(backend);
  ui::ProgressSetStatus(progress, ui::message::kSettingUp);
  // The store is looked over before the Favourites folder is entered or created, so
  // that a file which cannot be read leaves no folder behind.
  platform::ClearLastError();
  std::unique_ptr<BookmarkSource> source =
      OpenBookmarkSource({*file, bookmarkPath, settings.codePage});
  std::optional<std::uint32_t> steps;
  if (source) steps = source->survey();
  // Read before the progress window closes, which may make system calls of its own.
  std::optional<ui::FailureDetail> readFailure;
  if (!steps) readFailure = ReadFailure(bookmarkPath, source.get());
  std::size_t notWritten = 0;
  if (steps) {
    if (!EnterFavouritesFolder(settings, backend)) {
      ui::ProgressClose(progress);
      return false;
    }
    // The walk holds the directory that is current when it starts.
    FavouritesWalk walk(progress);
    ui::ProgressSetRange(progress, *steps);
    ui::ProgressSetStep(progress, 1);
    WalkSink sink(walk);
    if (!source->read(sink, progress)) readFailure = ReadFailure(bookmarkPath, source.get());
    notWritten = walk.notWritten();
  }
  ui::ProgressClose(progress);

  if (readFailure) {
    backend.showFailure(ui::message::kBookmarkFileNotRead, *readFailure);
    return false;
  }
  if (notWritten > 0) {
    backend.showMessage(ui::message::kSomeShortcutsNotWritten, ui::Icon::Warning);
    return false;
  }
  return true;
}

}  // namespace

bool ConvertBookmarksToFavourites(const ConversionSettings& settings, ui::Backend& backend) {
  // Running out of memory anywhere (a tag that holds most of a huge file, say) gives
  // up like any other failure; the files written so far are whole.
  try {
    return Convert(settings, backend);
  } catch (const std::bad_alloc&) {
    backend.showMessage(ui::message::kSomeShortcutsNotWritten, ui::Icon::Warning);
    return false;
  }
}

}  // namespace pelmo
