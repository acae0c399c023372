#include "book2fav/favourites_walk.h"

#include <string>

#include "book2fav/shortcut_file.h"
#include "platform/directory.h"
#include "platform/names.h"
#include "platform/paths.h"

namespace pelmo {
namespace {

bool MakeAndEnterDirectory(const std::string& name) {
  // It may exist already; whether it can be entered decides.
  platform::MakeDirectory(name);
  // The way back up is "..", which from behind a link leads out of the Favourites
  // folder: a link is a folder that cannot be entered.
  if (platform::IsSymbolicLink(name)) return false;
  return platform::ChangeDirectory(name) == platform::kErrorNone;
}

}  // namespace

void FavouritesWalk::handleItem(ItemKind kind, std::string_view url, std::string_view title) {
  if (lost_) {
    if (kind == ItemKind::Shortcut) ++notWritten_;
    return;
  }
  switch (kind) {
    case ItemKind::Shortcut:
      writeShortcut(url, title);
      break;
    case ItemKind::FolderHeading:
      openFolder(title);
      break;
    case ItemKind::EndOfList:
      closeFolder();
      break;
  }
}

void FavouritesWalk::writeShortcut(std::string_view url, std::string_view title) {
  if (skippedDepth_ > 0) {
    ++notWritten_;
    return;
  }
  ui::ProgressSetStatus(progress_, url);
  if (!WriteShortcutFile(names_.claimShortcutName(platform::NativeName(title)), url)) {
    ++notWritten_;
  }
}

void FavouritesWalk::openFolder(std::string_view title) {
  ++depth_;
  if (skippedDepth_ > 0) {
    ++skippedDepth_;
    return;
  }
  std::string name(FitName(platform::NativeName(title), platform::kMaxNameLength));
  if (name.empty() || !MakeAndEnterDirectory(name)) {
    skippedDepth_ = 1;
    return;
  }
  names_.enter(name);
}

void FavouritesWalk::closeFolder() {
  // Surplus list ends never lead above the Favourites folder.
  if (depth_ == 0) return;
  if (skippedDepth_ > 0) {
    --skippedDepth_;
  } else if (platform::ChangeDirectory("..") == platform::kErrorNone) {
    names_.leave();
  } else {
    lost_ = true;
    return;
  }
  --depth_;
}

}  // namespace pelmo
