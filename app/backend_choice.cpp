#include "app/backend_choice.h"

#include <cstdlib>

#include "ui/fltk/fltk_backend.h"
#include "ui/terminal/terminal_backend.h"

namespace pelmo {

namespace {

std::string_view Environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string_view() : std::string_view(value);
}

}  // namespace

BackendKind PreferredBackend(const BackendSituation& situation) {
  if (situation.override == "fltk") return BackendKind::Desktop;
  if (situation.override == "terminal") return BackendKind::Terminal;
  if (situation.override == "none") return BackendKind::None;
  if (situation.hasDisplay) return BackendKind::Desktop;
  return situation.stdinIsTerminal ? BackendKind::Terminal : BackendKind::None;
}

std::unique_ptr<ui::Backend> ChooseBackend() {
  const ui::TerminalOptions detected = ui::DetectTerminal();
  BackendSituation situation{
      .override = Environment("PELMO_UI"),
      .hasDisplay = !Environment("DISPLAY").empty() || !Environment("WAYLAND_DISPLAY").empty(),
      .stdinIsTerminal = detected.askQuestions,
  };
  BackendKind kind = PreferredBackend(situation);
  if (kind == BackendKind::Desktop) {
    if (std::unique_ptr<ui::Backend> desktop = ui::MakeFltkBackend()) return desktop;
    situation = {.override = {}, .hasDisplay = false, .stdinIsTerminal = detected.askQuestions};
    kind = PreferredBackend(situation);
  }
  switch (kind) {
    case BackendKind::Terminal:
      // Named by PELMO_UI, it reads answers from stdin even when that is no terminal.
      return ui::MakeTerminalBackend({.askQuestions = true, .drawProgress = detected.drawProgress});
    case BackendKind::None:
    case BackendKind::Desktop:
      break;
  }
  // Messages still reach stderr; every question is answered Cancel.
  return ui::MakeTerminalBackend(
      {.askQuestions = false,
       .drawProgress = situation.override != "none" && detected.drawProgress});
}

}  // namespace pelmo
