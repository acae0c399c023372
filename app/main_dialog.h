#pragma once

#include "ui/ui.h"
#include "util/conversion_settings.h"

namespace pelmo {

inline constexpr int kMainDialogTemplate = 1;

// Shows the main dialog on settings. True after OK (settings then hold the dialog's
// values); false after Cancel, and when the dialog cannot be created.
bool MainDialog(ConversionSettings& settings, ui::Backend& backend);

}  // namespace pelmo
