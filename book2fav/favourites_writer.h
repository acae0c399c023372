#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "book2fav/written_names.h"
#include "platform/favourites_output.h"

namespace pelmo {

// Builds the Favourites tree below the directory that is current when it is made,
// following the walk through the folders by changing the current directory. It
// never writes outside that directory: folders are entered only when they are real
// directories, and the way back up must lead to the folder that was left. If the
// folders are moved away during the run, writing stops within a few files.
class FavouritesWriter {
 public:
  FavouritesWriter();

  // Makes the folder current, creating it when missing; a folder whose name differs
  // only in letter case is the same folder. False when it cannot be entered.
  bool enterFolder(std::string_view name);

  // Goes back to the folder that was current before the last enterFolder. False when
  // the way up leads elsewhere (the folder was moved or replaced meanwhile): the top
  // folder is then current again, and nothing more may be written.
  bool leaveFolder();

  // Writes a shortcut file for the title into the current folder, under a name that
  // no shortcut of this run has taken there, cut to the room the path leaves, with
  // the time the link was added (seconds since 1970) as its modification time when
  // there is one; false when it could not be written.
  bool writeShortcut(std::string_view title, std::string_view url,
                     std::optional<std::int64_t> added = std::nullopt);

  // The longest name a folder made in the current folder may have.
  std::size_t folderNameRoom() const { return platform::RoomForName(platform::NewEntry::Folder); }

 private:
  struct Level {
    platform::FileIdentity identity;
    std::string name;  // as entered from the level above; empty for the top
    // The subfolders by name key, read when the first heading in the folder asks.
    std::optional<std::unordered_map<std::string, std::string>> subfolders;
  };

  // The name of the subfolder that the heading leads into.
  std::string SubfolderName(Level& level, std::string_view name);
  // False, and from then on always, once the folders are no longer where they were.
  bool stillInPlace();

  platform::WholeFileWriter files_;
  std::optional<platform::HeldDirectory> top_;
  WrittenNames names_;
  std::vector<Level> trail_;  // the top folder, and every folder down to the current one
  std::size_t fileNameRoom_;  // for shortcut files in the current folder
  std::size_t writesSinceCheck_ = 0;
  bool moved_ = false;
};

}  // namespace pelmo
