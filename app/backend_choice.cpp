#include "app/backend_choice.h"

#include "ui/terminal/terminal_backend.h"

namespace pelmo {

std::unique_ptr<ui::Backend> ChooseBackend(std::string_view override) {
  ui::TerminalOptions options = ui::DetectTerminal();
  if (override == "none") {
    options = {};
  } else if (override == "terminal") {
    options.askQuestions = true;
  }
  return ui::MakeTerminalBackend(options);
}

}  // namespace pelmo
