#pragma once

#include <memory>

#include "ui/ui.h"
#include "ui/win32/windows_headers.h"

namespace pelmo::ui {

// Dialog 2, modeless, holding the mouse capture with the wait cursor while it is
// open; null when it cannot be created.
std::unique_ptr<ProgressView> OpenProgressDialog(HINSTANCE instance);

}  // namespace pelmo::ui
