#pragma once

#include <string_view>

#include "platform/paths.h"
#include "ui/ui.h"
#include "util/conversion_settings.h"

namespace pelmo {

// Creates every missing directory of the path, one component at a time: behind a
// drive prefix ("C:", "C:\", "\\server\share\") where the style has one, else from
// the start of the path (absolute from the root, relative from the current
// directory). A component that exists already counts as created.
bool CreateDirectoryPath(std::string_view path, const platform::PathStyle& style);

// Makes the Favourites folder the current directory, creating it when it is missing
// (after asking, unless the run is automatic). False when it gave up, its message
// shown.
bool EnterFavouritesFolder(const ConversionSettings& settings, ui::Backend& backend);

}  // namespace pelmo
