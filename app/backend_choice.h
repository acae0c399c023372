#pragma once

#include <memory>
#include <string_view>

#include "ui/ui.h"

namespace pelmo {

// The backend for this process: "terminal" asks questions on stdin even when it is not
// a terminal, "none" never asks and draws no progress, anything else looks at what
// stdin and stderr are attached to.
std::unique_ptr<ui::Backend> ChooseBackend(std::string_view override);

}  // namespace pelmo
