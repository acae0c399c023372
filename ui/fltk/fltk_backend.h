#pragma once

#include <memory>

#include "ui/ui.h"

namespace pelmo::ui {

// The desktop backend; null when this build has no FLTK or no display can be opened.
std::unique_ptr<Backend> MakeFltkBackend();

}  // namespace pelmo::ui
