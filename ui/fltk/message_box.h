#pragma once

#include <string_view>

#include "ui/fltk/dialog_units.h"
#include "ui/ui.h"

namespace pelmo::ui {

// A modal message box with the title line as caption, the icon, the text and OK, or OK
// and Cancel. Enter is OK; Escape and the close box are Cancel (OK when it is alone).
// True for OK.
bool RunMessageBox(std::string_view text, Icon icon, bool withCancel, const DialogFont& font);

}  // namespace pelmo::ui
