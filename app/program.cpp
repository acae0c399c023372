#include "app/program.h"

#include "app/command_line.h"
#include "app/overwrite_question.h"
#include "platform/last_error.h"
#include "platform/version.h"
#include "ui/messages.h"

namespace pelmo {

namespace {

constexpr std::string_view kDefaultTitle = "Favourites converted by PELMO";
constexpr std::string_view kBookmarkListKey =
    ".Default\\Software\\Netscape\\Netscape Navigator\\Bookmark List";
constexpr std::string_view kShellFoldersKey =
    ".Default\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

void AssignFromRegistry(std::string& member, const ProgramServices& services,
                        std::string_view subKey, std::string_view value) {
  std::optional<std::string> text = services.readRegistry(subKey, value);
  if (!text) return;
  // Registry text ends at its first terminator, as a C string read would.
  std::string_view view = *text;
  view = view.substr(0, view.find('\0'));
  member.assign(view);
}

// A path longer than the platform takes is refused, never cut: a shorter one might
// name another file or folder.
bool PathsFit(const ConversionSettings& settings, std::size_t pathCapacity, ui::Backend& backend) {
  if (settings.favouritesFolder.size() >= pathCapacity) {
    backend.showFailure(ui::message::kFavouritesFolderNotOpened,
                        {settings.favouritesFolder, platform::PathTooLongText()});
    return false;
  }
  if (settings.bookmarkFile.size() >= pathCapacity) {
    backend.showFailure(ui::message::kBookmarkFileNotOpened,
                        {settings.bookmarkFile, platform::PathTooLongText()});
    return false;
  }
  return true;
}

// True when a conversion ran to its end.
bool RunConversion(const ConversionSettings& settings, const ProgramServices& services,
                   ui::Backend& backend) {
  if (!PathsFit(settings, services.pathCapacity, backend)) return false;
  if (settings.mode == ConversionMode::FavouritesToBookmarks) {
    return services.convertFavouritesToBookmarks(settings, backend);
  }
  return services.convertBookmarksToFavourites(settings, backend);
}

}  // namespace

ConversionSettings LoadDefaultSettings(const ProgramServices& services) {
  ConversionSettings settings;
  settings.bookmarkTitle = kDefaultTitle;
  AssignFromRegistry(settings.bookmarkFile, services, kBookmarkListKey, "File Location");
  AssignFromRegistry(settings.favouritesFolder, services, kShellFoldersKey, "Favorites");
  return settings;
}

int RunPelmo(const std::vector<std::string>& words, const ProgramServices& services,
             ui::Backend& toolkit) {
  // The overwrite question is the program's own; the toolkit only shows it.
  ProgramBackend backend(toolkit);
  std::optional<std::uint32_t> platformId = services.queryPlatformId();
  if (!platformId) return kExitRefused;
  if (*platformId != platform::kWindows95Family) {
    backend.showMessage(ui::message::kRequiresWindows95, ui::Icon::Error);
    return kExitRefused;
  }

  ConversionSettings settings = LoadDefaultSettings(services);
  ApplySwitches(words, settings);

  const std::optional<std::string> startDirectory =
      services.currentDirectory ? services.currentDirectory() : std::nullopt;
  for (;;) {
    // Bookmarks to Favourites leaves the current directory inside the Favourites tree;
    // relative paths in the dialog and the record must keep meaning the same place.
    if (startDirectory && services.changeDirectory) services.changeDirectory(*startDirectory);
    if (!settings.automatic && !services.mainDialog(settings, backend)) return kExitDone;
    bool ranToEnd = RunConversion(settings, services, backend);
    if (settings.automatic) return ranToEnd ? kExitDone : kExitGaveUp;
    if (ranToEnd) return kExitDone;
  }
}

}  // namespace pelmo
