#pragma once

#include "ui/ui.h"
#include "util/conversion_settings.h"

namespace pelmo {

// Turns the bookmark file into directories and shortcut files under the Favourites
// folder. True when the run reached its end, false when it gave up (its message shown).
// Leaves the process's current directory inside the Favourites folder tree.
bool ConvertBookmarksToFavourites(const ConversionSettings& settings, ui::Backend& backend);

}  // namespace pelmo
