#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

namespace pelmo::ui {

// The program's title line: the caption of every message box.
inline constexpr std::string_view kTitleLine = "PELMO v1.04 - (c) 2026 the PELMO developers";

enum class Icon { Error, Warning, Question, Information };

// The answers of the overwrite question; the numbers are the dialog's results.
enum class OverwriteChoice : int { Cancel = 0, Merge = 1, Replace = 2 };

// A shown progress window: a status line and a bar. Destroying it closes it.
class ProgressView {
 public:
  virtual ~ProgressView() = default;
  virtual void setStatus(std::string_view text) = 0;
  virtual void setRange(std::uint16_t upper) = 0;  // lower bound 0
  virtual void setStep(int step) = 0;
  virtual void step() = 0;
  virtual void setPosition(int position) = 0;
};

// The program's side of a dialog: what it does when the dialog opens and on each
// command. The controls a backend offers it arrive with the main dialog.
class DialogLogic {
 public:
  virtual ~DialogLogic() = default;
};

// What the program's logic needs of a toolkit. One backend per toolkit.
class Backend {
 public:
  virtual ~Backend() = default;

  // A message box with the title line as caption; returns when it is dismissed.
  virtual void showMessage(std::string_view text, Icon icon) = 0;
  // A question with OK and Cancel; true for OK.
  virtual bool askOkCancel(std::string_view text) = 0;
  // "Selected bookmark file already exists!" with Merge, Replace and Cancel.
  virtual OverwriteChoice askOverwrite() = 0;
  // A progress window, or null when none can be shown.
  virtual std::unique_ptr<ProgressView> openProgress() = 0;
  // Runs a modal dialog of the resource templates; nothing when it cannot be created.
  virtual std::optional<int> runDialog(int templateId, DialogLogic& logic) = 0;
};

}  // namespace pelmo::ui
