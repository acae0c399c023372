#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "book2fav/favourites_writer.h"
#include "ui/progress.h"
#include "util/bookmark_items.h"

namespace pelmo {

// Follows the items of a bookmark file through the directory tree under the current
// directory: a folder heading creates and enters a directory, the end of its list
// goes back to the parent, a shortcut writes a shortcut file.
class FavouritesWalk {
 public:
  explicit FavouritesWalk(const ui::ProgressDialog& progress) : progress_(progress) {}

  // The URL as it is written; the title already made into a name; a shortcut file
  // takes the date the link was added (seconds since 1970) as its modification time.
  void handleItem(ItemKind kind, std::string_view url, std::string_view title,
                  std::optional<std::int64_t> added = std::nullopt);

  // Shortcuts whose file was not written: not created, not written in full, in a
  // folder that could not be entered, or read after the walk lost its way back up.
  std::size_t notWritten() const { return notWritten_; }

 private:
  void writeShortcut(std::string_view url, std::string_view title,
                     std::optional<std::int64_t> added);
  void openFolder(std::string_view title);
  void closeFolder();

  const ui::ProgressDialog& progress_;
  FavouritesWriter writer_;
  std::size_t depth_ = 0;         // headings whose list has not ended yet
  std::size_t skippedDepth_ = 0;  // innermost open folders that could not be entered
  std::size_t notWritten_ = 0;
  bool lost_ = false;  // the way back up was lost; nothing more is written
};

}  // namespace pelmo
