#include "book2fav/favourites_folder.h"

#include <cstddef>

#include "platform/directory.h"
#include "platform/errors.h"
#include "platform/last_error.h"
#include "ui/messages.h"

namespace pelmo {
namespace {

bool IsSeparator(char byte, const platform::PathStyle& style) {
  return style.separators.find(byte) != std::string_view::npos && byte != ':';
}

// Where the first component that may need creating starts.
std::size_t CreationStart(std::string_view path, const platform::PathStyle& style) {
  if (!style.hasDrivePrefix) return 0;
  if (std::size_t colon = path.find(':'); colon != std::string_view::npos) {
    std::size_t start = colon + 1;
    if (start < path.size() && IsSeparator(path[start], style)) ++start;
    return start;
  }
  // A network path: the server and the share cannot be created.
  if (path.size() >= 2 && IsSeparator(path[0], style) && IsSeparator(path[1], style)) {
    std::size_t position = 2;
    for (int component = 0; component < 2 && position < path.size(); ++component) {
      while (position < path.size() && !IsSeparator(path[position], style)) ++position;
      if (position < path.size()) ++position;
    }
    return position;
  }
  return 0;
}

bool CreateComponent(std::string_view prefix) {
  platform::ErrorCode error = platform::MakeDirectory(prefix);
  return error == platform::kErrorNone || error == platform::kErrorAlreadyExists;
}

bool IsMissing(platform::ErrorCode error) {
  return error == platform::kErrorFileNotFound || error == platform::kErrorPathNotFound;
}

// Gives up on the folder with what the system said about its last failed call.
bool GiveUp(ui::Backend& backend, std::string_view message, std::string_view folder) {
  const std::string reason = platform::LastErrorText();
  backend.showFailure(message, {std::string(folder), reason});
  return false;
}

}  // namespace

bool CreateDirectoryPath(std::string_view path, const platform::PathStyle& style) {
  std::size_t componentStart = CreationStart(path, style);
  for (std::size_t position = componentStart; position <= path.size(); ++position) {
    if (position < path.size() && !IsSeparator(path[position], style)) continue;
    // Empty components (a leading root separator, doubled separators) name nothing new.
    if (position > componentStart && !CreateComponent(path.substr(0, position))) return false;
    componentStart = position + 1;
  }
  return true;
}

bool EnterFavouritesFolder(const ConversionSettings& settings, ui::Backend& backend) {
  const std::string& folder = settings.favouritesFolder;
  if (folder.empty()) {
    backend.showMessage(ui::message::kFavouritesFolderNotOpened, ui::Icon::Warning);
    return false;
  }
  platform::ClearLastError();
  platform::ErrorCode error = platform::ChangeDirectory(folder);
  if (error == platform::kErrorNone) return true;
  // Another run may have made it meanwhile.
  if (IsMissing(error) && platform::GetPathKind(folder) == platform::PathKind::Directory) {
    error = platform::ChangeDirectory(folder);
    if (error == platform::kErrorNone) return true;
  }
  // Something other than a directory is there: creating would not help.
  if (!IsMissing(error) || platform::GetPathKind(folder) != platform::PathKind::Missing) {
    return GiveUp(backend, ui::message::kFavouritesFolderNotOpened, folder);
  }
  if (!settings.automatic && !backend.askOkCancel(ui::message::kCreateFavouritesFolder))
    return false;
  platform::ClearLastError();
  if (!CreateDirectoryPath(folder, platform::NativePathStyle())) {
    return GiveUp(backend, ui::message::kDirectoryNotCreated, folder);
  }
  if (platform::ChangeDirectory(folder) != platform::kErrorNone) {
    return GiveUp(backend, ui::message::kFavouritesFolderNotOpened, folder);
  }
  return true;
}

}  // namespace pelmo
