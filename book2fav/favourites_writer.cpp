#include "book2fav/favourites_writer.h"

#include <string>

#include "platform/file_time.h"
#include "platform/names.h"
#include "util/shortcut_format.h"

namespace pelmo {
namespace {

// How many shortcut files may be written between two checks that the folders are
// still in place: at most that many land in a folder moved away.
constexpr std::size_t kWritesBetweenChecks = 64;

platform::FileIdentity IdentityOf(const std::optional<platform::HeldDirectory>& held) {
  return held ? held->identity() : platform::FileIdentity{};
}

}  // namespace

FavouritesWriter::FavouritesWriter()
    : top_(platform::HeldDirectory::current()),
      names_(IdentityOf(top_)),
      fileNameRoom_(platform::RoomForName(platform::NewEntry::File)) {
  if (top_) trail_.push_back({top_->identity(), {}, {}});
}

std::string FavouritesWriter::SubfolderName(Level& level, std::string_view name) {
  if (!level.subfolders) {
    level.subfolders.emplace();
    for (std::string& existing :
         platform::CurrentSubdirectoryNames().value_or(std::vector<std::string>{})) {
      std::string key = platform::NameKey(existing);
      level.subfolders->try_emplace(std::move(key), std::move(existing));
    }
  }
  auto [found, added] = level.subfolders->try_emplace(platform::NameKey(name), name);
  return found->second;
}

bool FavouritesWriter::enterFolder(std::string_view name) {
  // Without a hold on the top folder there would be no safe way back to it.
  if (!top_ || !stillInPlace()) return false;
  std::string onDisk = SubfolderName(trail_.back(), name);
  std::optional<platform::FileIdentity> entered = platform::EnterSubdirectory(onDisk);
  if (!entered && onDisk != name) {
    onDisk = name;
    entered = platform::EnterSubdirectory(onDisk);
  }
  if (!entered) return false;
  trail_.push_back({*entered, std::move(onDisk), {}});
  names_.enter(*entered);
  fileNameRoom_ = platform::RoomForName(platform::NewEntry::File);
  return true;
}

bool FavouritesWriter::leaveFolder() {
  if (trail_.size() < 2 || moved_) return false;
  trail_.pop_back();
  names_.leave();
  std::optional<platform::FileIdentity> parent = platform::EnterParentDirectory();
  fileNameRoom_ = platform::RoomForName(platform::NewEntry::File);
  if (parent && *parent == trail_.back().identity) return true;
  top_->makeCurrent();
  trail_.resize(1);
  return false;
}

bool FavouritesWriter::stillInPlace() {
  if (moved_) return false;
  writesSinceCheck_ = 0;
  std::vector<std::string> names;
  for (std::size_t i = 1; i < trail_.size(); ++i) names.push_back(trail_[i].name);
  moved_ = !top_->stillLeadsTo(names, trail_.back().identity);
  return !moved_;
}

bool FavouritesWriter::writeShortcut(std::string_view title, std::string_view url,
                                     std::optional<std::int64_t> added) {
  if (moved_) return false;
  if (top_ && ++writesSinceCheck_ >= kWritesBetweenChecks && !stillInPlace()) return false;
  const std::string name = names_.claimShortcutName(title, fileNameRoom_);
  // Even the shortest name is too long for the path: written, it could not be read.
  if (name.size() > fileNameRoom_) return false;
  // Names from earlier runs are written over, so that a second run gives the same tree.
  if (files_.write(name, ShortcutFileBytes(url), platform::ExistingFile::Replace) !=
      platform::WriteOutcome::Written) {
    return false;
  }
  // A time that cannot be set leaves the time of the run: the link itself is whole.
  if (added) platform::SetModificationTime(name, *added);
  return true;
}

}  // namespace pelmo
