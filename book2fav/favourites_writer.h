#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "book2fav/written_names.h"
#include "platform/favourites_output.h"

namespace pelmo {

// Builds the Favourites tree below the directory that is current when it is made,
// following the walk through the folders by changing the current directory. It
// never writes outside that directory: folders are entered only when they are real
// directories, and the way back up must lead to the folder that was left.
class FavouritesWriter {
 public:
  FavouritesWriter();

  // Makes the folder current, creating it when missing; false when it cannot be
  // entered.
  bool enterFolder(std::string_view name);

  // Goes back to the folder that was current before the last enterFolder. False when
  // the way up leads elsewhere (the folder was moved or replaced meanwhile): the top
  // folder is then current again, and nothing more may be written.
  bool leaveFolder();

  // Writes a shortcut file for the title into the current folder, under a name that
  // no shortcut of this run has taken there, cut to the room the path leaves; false
  // when it could not be written.
  bool writeShortcut(std::string_view title, std::string_view url);

  // The longest name a folder made in the current folder may have.
  std::size_t folderNameRoom() const { return platform::RoomForName(platform::NewEntry::Folder); }

 private:
  platform::WholeFileWriter files_;
  WrittenNames names_;
  std::optional<platform::HeldDirectory> top_;
  std::vector<platform::FileIdentity> trail_;  // the current folder and those above it
  std::size_t fileNameRoom_;                   // for shortcut files in the current folder
};

}  // namespace pelmo
