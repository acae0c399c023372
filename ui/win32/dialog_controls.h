#pragma once

#include "ui/ui.h"
#include "ui/win32/windows_headers.h"

namespace pelmo::ui {

// The seam's control calls on a live dialog window.
class Win32DialogControls : public DialogControls {
 public:
  explicit Win32DialogControls(HWND dialog) : dialog_(dialog) {}

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

 private:
  HWND dialog_;
};

}  // namespace pelmo::ui
