#include "book2fav/favourites_writer.h"

#include <string>

#include "book2fav/shortcut_file.h"

namespace pelmo {
namespace {

// Names are taken only when a file appears between the listing of a folder entered
// again and the write; a bound keeps a file system that answers oddly from looping.
constexpr int kMaxTakenNames = 10000;

std::vector<std::string> NamesInCurrentDirectory() {
  return platform::CurrentDirectoryNames().value_or(std::vector<std::string>{});
}

}  // namespace

FavouritesWriter::FavouritesWriter()
    : top_(platform::HeldDirectory::current()),
      fileNameRoom_(platform::RoomForName(platform::NewEntry::File)) {
  if (top_) trail_.push_back(top_->identity());
}

bool FavouritesWriter::enterFolder(std::string_view name) {
  // Without a hold on the top folder there would be no safe way back to it.
  if (!top_) return false;
  std::optional<platform::FileIdentity> entered = platform::EnterSubdirectory(name);
  if (!entered) return false;
  trail_.push_back(*entered);
  names_.enter(*entered, NamesInCurrentDirectory);
  fileNameRoom_ = platform::RoomForName(platform::NewEntry::File);
  return true;
}

bool FavouritesWriter::leaveFolder() {
  if (trail_.size() < 2) return false;
  trail_.pop_back();
  names_.leave();
  std::optional<platform::FileIdentity> parent = platform::EnterParentDirectory();
  fileNameRoom_ = platform::RoomForName(platform::NewEntry::File);
  if (parent && *parent == trail_.back()) return true;
  top_->makeCurrent();
  trail_.resize(1);
  return false;
}

bool FavouritesWriter::writeShortcut(std::string_view title, std::string_view url) {
  // A folder entered again may have gained files since it was listed; those are
  // kept, not replaced.
  platform::ExistingFile existing =
      names_.reentered() ? platform::ExistingFile::Keep : platform::ExistingFile::Replace;
  const std::string bytes = ShortcutFileBytes(url);
  for (int attempt = 0; attempt < kMaxTakenNames; ++attempt) {
    const std::string name = names_.claimShortcutName(title, fileNameRoom_);
    // Even the shortest name is too long for the path: written, it could not be read.
    if (name.size() > fileNameRoom_) return false;
    switch (files_.write(name, bytes, existing)) {
      case platform::WriteOutcome::Written:
        return true;
      case platform::WriteOutcome::Failed:
        return false;
      case platform::WriteOutcome::NameTaken:
        break;
    }
  }
  return false;
}

}  // namespace pelmo
