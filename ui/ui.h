#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "pelmo_version.h"

namespace pelmo::ui {

// The program's title line: the caption of every message box.
inline constexpr std::string_view kTitleLine = PELMO_CAPTION " - (c) 2026 the PELMO developers";

enum class Icon { Error, Warning, Question, Information };

// What the system said about the path at which a conversion gave up.
struct FailureDetail {
  std::string path;
  std::string reason;  // the system's words; empty when it gave none
};

// The one form of the detail line: "path: reason", or the path alone.
inline std::string DetailLine(const FailureDetail& detail) {
  return detail.reason.empty() ? detail.path : detail.path + ": " + detail.reason;
}

// The answers of the overwrite question; the numbers are the dialog's results.
enum class OverwriteChoice : int { Cancel = 0, Merge = 1, Replace = 2 };

// A shown progress window: a status line and a bar. Destroying it closes it.
class ProgressView {
 public:
  virtual ~ProgressView() = default;
  virtual void setStatus(std::string_view text) = 0;
  virtual void setRange(std::uint32_t upper) = 0;  // lower bound 0
  virtual void setStep(int step) = 0;
  virtual void step() = 0;
  virtual void setPosition(int position) = 0;
};

// What dialog logic may do to the dialog it runs in. Each backend implements these
// once; the logic never sees a toolkit. Control ids are those of res/resource.h.
class DialogControls {
 public:
  virtual ~DialogControls() = default;
  virtual void setText(int controlId, std::string_view text) = 0;
  // The control's text cut to capacity - 1 bytes (capacity counts a terminator, as the
  // Win32 call that reads a control's text does).
  virtual std::string getText(int controlId, std::size_t capacity) = 0;
  // Selects checkedId among the radio buttons firstId..lastId and clears the others.
  virtual void checkRadio(int firstId, int lastId, int checkedId) = 0;
  virtual bool isChecked(int controlId) = 0;
  virtual void enable(int controlId, bool enabled) = 0;
  // Ends the modal dialog; runDialog returns result.
  virtual void end(int result) = 0;
  // A folder chosen in the toolkit's folder browser, or nothing when cancelled.
  virtual std::optional<std::string> browseFolder(std::string_view title) = 0;
  // A file chosen (or a name typed, that need not exist) in the toolkit's file browser,
  // starting in directory (empty: the toolkit's choice) with fileName preset; nothing
  // when cancelled.
  virtual std::optional<std::string> browseFile(std::string_view title, std::string_view directory,
                                                std::string_view fileName) = 0;
  // Whether a name dropped onto the dialog is a directory (links followed).
  virtual bool isDirectory(std::string_view name) = 0;
};

// The program's side of a dialog: what it does when the dialog opens, on each command
// (the id of the control that sent it), and when names are dropped on it.
class DialogLogic {
 public:
  virtual ~DialogLogic() = default;
  virtual void opened(DialogControls& controls) = 0;
  virtual void command(DialogControls& controls, int controlId) = 0;
  // Only the first dropped name is handed on; an empty name means none was obtained.
  virtual void dropped(DialogControls& controls, std::string_view firstName) = 0;
};

// What the program's logic needs of a toolkit. One backend per toolkit.
class Backend {
 public:
  virtual ~Backend() = default;

  // A message box with the title line as caption; returns when it is dismissed.
  virtual void showMessage(std::string_view text, Icon icon) = 0;
  // The warning with which a conversion gives up, and what the system said about it.
  // A message box shows the text alone; a backend that writes to a stream adds the
  // detail line there.
  virtual void showFailure(std::string_view text, const FailureDetail& detail) {
    static_cast<void>(detail);
    showMessage(text, Icon::Warning);
  }
  // A question with OK and Cancel; true for OK.
  virtual bool askOkCancel(std::string_view text) = 0;
  // "Selected bookmark file already exists!" with Merge, Replace and Cancel. A backend
  // only shows the question, as dialog IDD_OVERWRITE through runDialog; the program
  // answers it with its own logic (app/overwrite_question.h) in the backend that it
  // hands the converters. Asked of a toolkit's backend alone, it is cancelled.
  virtual OverwriteChoice askOverwrite() { return OverwriteChoice::Cancel; }
  // A progress window, or null when none can be shown.
  virtual std::unique_ptr<ProgressView> openProgress() = 0;
  // Runs a modal dialog of the resource templates; nothing when it cannot be created.
  virtual std::optional<int> runDialog(int templateId, DialogLogic& logic) = 0;
  // Whether the program has a console to write a usage text to.
  virtual bool hasConsole() const { return true; }
};

}  // namespace pelmo::ui
