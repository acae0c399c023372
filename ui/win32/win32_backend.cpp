#include "ui/win32/win32_backend.h"

#include <string>

#include "res/resource.h"
#include "ui/win32/dialog_controls.h"
#include "ui/win32/progress_dialog.h"

namespace pelmo::ui {
namespace {

UINT IconFlags(Icon icon) {
  switch (icon) {
    case Icon::Error:
      return MB_ICONERROR;
    case Icon::Warning:
      return MB_ICONEXCLAMATION;
    case Icon::Question:
      return MB_ICONQUESTION;
    case Icon::Information:
      return MB_ICONINFORMATION;
  }
  return 0;
}

int ShowMessageBox(std::string_view text, UINT flags) {
  const std::string terminated(text);
  const std::string caption(kTitleLine);
  return ::MessageBoxA(nullptr, terminated.c_str(), caption.c_str(), flags);
}

// What a dialog procedure reaches through the window.
struct DialogContext {
  DialogLogic& logic;
  // The main dialog takes dropped names and sets its own focus; the overwrite
  // question takes none and leaves the focus to the system.
  bool isMain;
};

DialogContext* ContextOf(HWND dialog) {
  return reinterpret_cast<DialogContext*>(::GetWindowLongPtrA(dialog, DWLP_USER));
}

void HandleDrop(DialogLogic& logic, Win32DialogControls& controls, HDROP drop) {
  char name[MAX_PATH + 2] = {};
  const UINT length = ::DragQueryFileA(drop, 0, name, sizeof name);
  logic.dropped(controls, length == 0 ? std::string_view() : name);
  ::DragFinish(drop);
}

// The buttons whose commands are answered as handled; the radio buttons and every
// other command are left to the system.
bool IsHandledCommand(int controlId) {
  return controlId == IDOK || controlId == IDCANCEL || controlId == IDC_BROWSE_FILE ||
         controlId == IDC_BROWSE_FOLDER || controlId == IDC_REPLACE;
}

INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* context = reinterpret_cast<DialogContext*>(lParam);
    ::SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    if (context->isMain) ::DragAcceptFiles(dialog, TRUE);
    Win32DialogControls controls(dialog);
    context->logic.opened(controls);
    // The main dialog's logic sets the focus it wants, which the system's choice would
    // override; elsewhere the system gives it to the first tab stop.
    return context->isMain ? FALSE : TRUE;
  }
  DialogContext* context = ContextOf(dialog);
  if (context == nullptr) return FALSE;
  Win32DialogControls controls(dialog);
  switch (message) {
    case WM_COMMAND:
      context->logic.command(controls, LOWORD(wParam));
      return IsHandledCommand(LOWORD(wParam)) ? TRUE : FALSE;
    case WM_DROPFILES:
      HandleDrop(context->logic, controls, reinterpret_cast<HDROP>(wParam));
      return FALSE;
    default:
      return FALSE;
  }
}

class Win32Backend : public Backend {
 public:
  explicit Win32Backend(HINSTANCE instance) : instance_(instance) {}

  void showMessage(std::string_view text, Icon icon) override {
    ShowMessageBox(text, MB_OK | IconFlags(icon));
  }

  bool askOkCancel(std::string_view text) override {
    return ShowMessageBox(text, MB_OKCANCEL | MB_ICONQUESTION) != IDCANCEL;
  }

  std::unique_ptr<ProgressView> openProgress() override {
    registerCommonControls();
    return OpenProgressDialog(instance_);
  }

  bool hasConsole() const override { return false; }

  std::optional<int> runDialog(int templateId, DialogLogic& logic) override {
    registerCommonControls();
    DialogContext context{logic, templateId == IDD_MAIN};
    const INT_PTR result = ::DialogBoxParamA(instance_, MAKEINTRESOURCEA(templateId), nullptr,
                                             DialogProcedure, reinterpret_cast<LPARAM>(&context));
    if (result == -1) return std::nullopt;
    return static_cast<int>(result);
  }

 private:
  // Before the first dialog, not at start: the platform check and its refusal come
  // first.
  void registerCommonControls() {
    if (!commonControls_) ::InitCommonControls();
    commonControls_ = true;
  }

  HINSTANCE instance_;
  bool commonControls_ = false;
};

}  // namespace

std::unique_ptr<Backend> MakeWin32Backend(HINSTANCE instance) {
  return std::make_unique<Win32Backend>(instance);
}

}  // namespace pelmo::ui
