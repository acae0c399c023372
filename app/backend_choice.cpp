#include "app/backend_choice.h"

#include <cstdio>
#include <cstdlib>

#include "platform/paths.h"
#include "ui/fltk/fltk_backend.h"
#include "ui/message_echo.h"
#include "ui/terminal/terminal_backend.h"

namespace pelmo {

namespace {

std::string_view Environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string_view() : std::string_view(value);
}

}  // namespace

bool IsKnownOverride(std::string_view override) {
  return override.empty() || override == "fltk" || override == "terminal" || override == "none";
}

BackendKind PreferredBackend(const BackendSituation& situation) {
  if (situation.override == "fltk") return BackendKind::Desktop;
  if (situation.override == "terminal") return BackendKind::Terminal;
  if (situation.override == "none") return BackendKind::None;
  if (situation.hasDisplay) return BackendKind::Desktop;
  return situation.stdinIsTerminal ? BackendKind::Terminal : BackendKind::None;
}

std::unique_ptr<ui::Backend> ChooseBackend() {
  ui::TerminalOptions detected = ui::DetectTerminal();
  detected.answerLimit = platform::MaxPathSize() - 1;
  const std::string_view override = Environment("PELMO_UI");
  if (!IsKnownOverride(override)) {
    std::fprintf(stderr, "PELMO_UI=%.*s is not one of fltk, terminal, none; it is ignored.\n",
                 static_cast<int>(override.size()), override.data());
  }
  BackendSituation situation{
      .override = override,
      .hasDisplay = !Environment("DISPLAY").empty() || !Environment("WAYLAND_DISPLAY").empty(),
      .stdinIsTerminal = detected.askQuestions,
  };
  BackendKind kind = PreferredBackend(situation);
  if (kind == BackendKind::Desktop) {
    if (std::unique_ptr<ui::Backend> desktop = ui::MakeFltkBackend()) {
      // Messages also reach stderr, where a script (or the person who started PELMO
      // from a terminal) reads them.
      return ui::EchoMessages(std::move(desktop),
                              ui::MakeTerminalBackend({.answerLimit = detected.answerLimit}));
    }
    situation = {.override = {}, .hasDisplay = false, .stdinIsTerminal = detected.askQuestions};
    kind = PreferredBackend(situation);
  }
  switch (kind) {
    case BackendKind::Terminal:
      // Named by PELMO_UI, it reads answers from stdin even when that is no terminal.
      return ui::MakeTerminalBackend({.askQuestions = true,
                                      .drawProgress = detected.drawProgress,
                                      .answerLimit = detected.answerLimit});
    case BackendKind::None:
    case BackendKind::Desktop:
      break;
  }
  // Messages still reach stderr; every question is answered Cancel.
  return ui::MakeTerminalBackend(
      {.askQuestions = false,
       .drawProgress = situation.override != "none" && detected.drawProgress,
       .answerLimit = detected.answerLimit});
}

}  // namespace pelmo
