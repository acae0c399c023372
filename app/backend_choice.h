#pragma once

#include <memory>
#include <string_view>

#include "ui/ui.h"

namespace pelmo {

enum class BackendKind { Desktop, Terminal, None };

// What the choice looks at: PELMO_UI ("fltk", "terminal" or "none"; anything else
// leaves the choice to the rest), whether DISPLAY or WAYLAND_DISPLAY names a display,
// and whether stdin is a terminal.
struct BackendSituation {
  std::string_view override;
  bool hasDisplay = false;
  bool stdinIsTerminal = false;
};

// Whether PELMO_UI names a backend (or is unset); any other value is said on stderr.
bool IsKnownOverride(std::string_view override);

// The backend to try first. When the desktop backend cannot be made, the choice is
// made again as if there were no display.
BackendKind PreferredBackend(const BackendSituation& situation);

// The backend for this process.
std::unique_ptr<ui::Backend> ChooseBackend();

}  // namespace pelmo
