#pragma once

#include "ui/fltk/dialog_window.h"
#include "ui/ui.h"

namespace pelmo::ui {

// The control calls of dialog logic, carried out on a DialogWindow.
class FltkControls : public DialogControls {
 public:
  explicit FltkControls(DialogWindow& window) : window_(window) {}

  void setText(int controlId, std::string_view text) override;
  std::string getText(int controlId, std::size_t capacity) override;
  void checkRadio(int firstId, int lastId, int checkedId) override;
  bool isChecked(int controlId) override;
  void enable(int controlId, bool enabled) override;
  void end(int result) override;
  std::optional<std::string> browseFolder(std::string_view title) override;
  std::optional<std::string> browseFile(std::string_view title, std::string_view directory,
                                        std::string_view fileName) override;
  bool isDirectory(std::string_view name) override;

  bool ended() const { return ended_; }
  int result() const { return result_; }

 private:
  DialogWindow& window_;
  bool ended_ = false;
  int result_ = 0;
};

}  // namespace pelmo::ui
