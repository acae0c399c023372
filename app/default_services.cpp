#include "app/main_dialog.h"
#include "app/program.h"
#include "book2fav/bookmarks_to_favourites.h"
#include "fav2book/favourites_to_bookmarks.h"
#include "platform/directory.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/version.h"

namespace pelmo {

ProgramServices DefaultServices() {
  return {
      .queryPlatformId = platform::QueryPlatformId,
      .readRegistry = platform::ReadUserRegistryString,
      .pathCapacity = platform::MaxPathSize(),
      .currentDirectory = platform::CurrentDirectory,
      .changeDirectory =
          [](std::string_view path) {
            return platform::ChangeDirectory(path) == platform::kErrorNone;
          },
      .mainDialog = MainDialog,
      .convertFavouritesToBookmarks = ConvertFavouritesToBookmarks,
      .convertBookmarksToFavourites = ConvertBookmarksToFavourites,
  };
}

}  // namespace pelmo
