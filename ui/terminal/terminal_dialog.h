#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>

#include "ui/terminal/prompt.h"
#include "ui/ui.h"

namespace pelmo::ui {

// The main dialog as a conversation at a prompt: it shows the values, asks for the
// direction, the folder, the file and (while its box is enabled) the title, where
// Enter keeps the value shown and a lone "-" empties it, then for OK or Cancel. Each
// answer reaches the logic as the matching control event would (Enter at the
// direction is no click); the end of input is Cancel.
class TerminalMainDialog : public DialogControls {
 public:
  TerminalMainDialog(Prompt& prompt, std::FILE* out) : prompt_(prompt), out_(out) {}

  // The dialog's result, as the logic ended it.
  int run(DialogLogic& logic);

  void setText(int controlId, std::string_view text) override;
  std::string getText(int controlId, std::size_t capacity) override;
  void checkRadio(int firstId, int lastId, int checkedId) override;
  bool isChecked(int controlId) override;
  void enable(int controlId, bool enabled) override;
  void end(int result) override;
  // A terminal has no browsers; nothing is dropped on it.
  std::optional<std::string> browseFolder(std::string_view) override { return std::nullopt; }
  std::optional<std::string> browseFile(std::string_view, std::string_view,
                                        std::string_view) override {
    return std::nullopt;
  }
  bool isDirectory(std::string_view) override { return false; }

 private:
  void showValues();
  bool askDirection(DialogLogic& logic);
  // isPath: a leading ~ stands for the home folder.
  bool askText(int controlId, std::string_view label, bool isPath);

  Prompt& prompt_;
  std::FILE* out_;
  std::unordered_map<int, std::string> texts_;
  std::set<int> checked_;
  std::set<int> disabled_;
  std::optional<int> result_;
};

}  // namespace pelmo::ui
