#pragma once

#include <memory>
#include <optional>
#include <string_view>

#include "ui/ui.h"

namespace pelmo {

// The overwrite question's logic: the buttons of dialog IDD_OVERWRITE and what each
// answers. Every backend only shows the dialog; this is where its answers are made.
class OverwriteQuestion final : public ui::DialogLogic {
 public:
  void opened(ui::DialogControls&) override {}
  void command(ui::DialogControls& controls, int controlId) override;
  void dropped(ui::DialogControls&, std::string_view) override {}
};

// Asks through the backend's dialog. A dialog that could not be shown, or that ended
// with anything but Merge or Replace, is not an answer to change the file: Cancel.
ui::OverwriteChoice AskOverwrite(ui::Backend& backend);

// The backend as the program hands it to its dialog and the converters: the toolkit's,
// with the overwrite question answered through AskOverwrite.
class ProgramBackend final : public ui::Backend {
 public:
  explicit ProgramBackend(ui::Backend& toolkit) : toolkit_(toolkit) {}

  void showMessage(std::string_view text, ui::Icon icon) override {
    toolkit_.showMessage(text, icon);
  }
  void showFailure(std::string_view text, const ui::FailureDetail& detail) override {
    toolkit_.showFailure(text, detail);
  }
  bool askOkCancel(std::string_view text) override { return toolkit_.askOkCancel(text); }
  ui::OverwriteChoice askOverwrite() override { return AskOverwrite(toolkit_); }
  std::unique_ptr<ui::ProgressView> openProgress() override { return toolkit_.openProgress(); }
  std::optional<int> runDialog(int templateId, ui::DialogLogic& logic) override {
    return toolkit_.runDialog(templateId, logic);
  }
  bool hasConsole() const override { return toolkit_.hasConsole(); }

 private:
  ui::Backend& toolkit_;
};

}  // namespace pelmo
