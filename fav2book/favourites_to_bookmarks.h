#pragma once

#include "ui/ui.h"
#include "util/conversion_settings.h"

namespace pelmo {

// Writes the Favourites folder as a bookmark file, new or merged into the existing one.
// True when the run reached its end, false when it gave up (its message shown).
bool ConvertFavouritesToBookmarks(const ConversionSettings& settings, ui::Backend& backend);

}  // namespace pelmo
