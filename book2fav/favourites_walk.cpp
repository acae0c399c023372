#include "book2fav/favourites_walk.h"

#include <string>

#include "book2fav/item_text.h"
#include "platform/names.h"
#include "platform/paths.h"

namespace pelmo {

void FavouritesWalk::handleItem(ItemKind kind, std::string_view url, std::string_view title,
                                std::optional<std::int64_t> added) {
  if (lost_) {
    if (kind == ItemKind::Shortcut) ++notWritten_;
    return;
  }
  switch (kind) {
    case ItemKind::Shortcut:
      writeShortcut(url, title, added);
      break;
    case ItemKind::FolderHeading:
      openFolder(title);
      break;
    case ItemKind::EndOfList:
      closeFolder();
      break;
  }
}

void FavouritesWalk::writeShortcut(std::string_view url, std::string_view title,
                                   std::optional<std::int64_t> added) {
  if (skippedDepth_ > 0) {
    ++notWritten_;
    return;
  }
  ui::ProgressSetStatus(progress_, url);
  // A name such as ".URL" would hide the link from file managers.
  std::string name = platform::NativeName(title);
  if (name.empty()) name = platform::NativeName(NameFromUrl(url));
  if (!writer_.writeShortcut(name, url, added)) ++notWritten_;
}

void FavouritesWalk::openFolder(std::string_view title) {
  ++depth_;
  if (skippedDepth_ > 0) {
    ++skippedDepth_;
    return;
  }
  // Cut to the room the path leaves, then made again what the system keeps, which may
  // need one more cut.
  const std::size_t room = writer_.folderNameRoom();
  std::string name(FitTrimmedName(platform::NativeName(title), room));
  while (name.size() > room) name = platform::NativeName(FitTrimmedName(name, room));
  if (name.empty() || !writer_.enterFolder(name)) skippedDepth_ = 1;
}

void FavouritesWalk::closeFolder() {
  // Surplus list ends never lead above the Favourites folder.
  if (depth_ == 0) return;
  if (skippedDepth_ > 0) {
    --skippedDepth_;
  } else if (!writer_.leaveFolder()) {
    lost_ = true;
    return;
  }
  --depth_;
}

}  // namespace pelmo
