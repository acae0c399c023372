#include "book2fav/bookmarks_to_favourites.h"

#include <cstdint>
#include <optional>
#include <string>

#include "book2fav/favourites_folder.h"
#include "book2fav/favourites_walk.h"
#include "platform/directory.h"
#include "platform/file.h"
#include "ui/progress.h"
#include "util/line_reader.h"
#include "util/path.h"

namespace pelmo {
namespace {

constexpr std::string_view kUnableToOpenBookmarks = "Unable to open Bookmark file!";
constexpr std::string_view kUnableToReadBookmarks = "Unable to read Bookmark file!";
constexpr std::string_view kSomeNotWritten = "Unable to write some shortcut files!";
constexpr std::string_view kSettingUp = "Setting up... Please wait...";

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

// Counts the lines and goes back to the first; nothing when the file cannot be read.
std::optional<std::uint32_t> CountLines(platform::File& file) {
  std::uint32_t count = 0;
  std::string line;
  while (ReadTextLine(file, line)) ++count;
  if (file.readFailed() || !file.rewind()) return std::nullopt;
  return count;
}

// True when every line was read; false after a read failure.
bool WalkLines(platform::File& file, const ui::ProgressDialog& progress, FavouritesWalk& walk) {
  std::string line;
  while (ReadTextLine(file, line)) {
    ui::ProgressStep(progress);
    walk.handleLine(line);
  }
  return !file.readFailed();
}

}  // namespace

bool ConvertBookmarksToFavourites(const ConversionSettings& settings, ui::Backend& backend) {
  std::string bookmarkPath = ResolveBookmarkPath(settings.bookmarkFile);
  if (!EnterFavouritesFolder(settings, backend)) return false;
  std::optional<platform::File> file =
      platform::File::open(bookmarkPath, platform::FileAccess::ReadExisting);
  if (!file) {
    backend.showMessage(kUnableToOpenBookmarks, ui::Icon::Warning);
    return false;
  }

  ui::ProgressDialog progress;
  if (!settings.quiet) progress = ui::ProgressOpen(backend);
  ui::ProgressSetStatus(progress, kSettingUp);
  std::optional<std::uint32_t> lineCount = CountLines(*file);
  bool readAll = false;
  FavouritesWalk walk(progress);
  if (lineCount) {
    ui::ProgressSetRange(progress, *lineCount);
    ui::ProgressSetStep(progress, 1);
    readAll = WalkLines(*file, progress, walk);
  }
  ui::ProgressClose(progress);

  if (!readAll) {
    backend.showMessage(kUnableToReadBookmarks, ui::Icon::Warning);
    return false;
  }
  if (walk.notWritten() > 0) {
    backend.showMessage(kSomeNotWritten, ui::Icon::Warning);
    return false;
  }
  return true;
}

}  // namespace pelmo
