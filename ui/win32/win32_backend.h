#pragma once

#include <memory>

#include "ui/ui.h"
#include "ui/win32/windows_headers.h"

namespace pelmo::ui {

// The real dialogs of the module's resources, message boxes and the progress dialog.
// Registers the common controls, which the progress bar needs, before its first dialog.
std::unique_ptr<Backend> MakeWin32Backend(HINSTANCE instance);

}  // namespace pelmo::ui
