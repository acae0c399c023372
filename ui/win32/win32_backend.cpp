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

// The main dialog's commands that are answered as handled; the radio buttons and
// every other command are left to the system.
bool IsHandledCommand(int controlId) {
  return controlId == IDOK || controlId == IDCANCEL || controlId == IDC_BROWSE_FILE ||
         controlId == IDC_BROWSE_FOLDER;
}

INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* context = reinterpret_cast<DialogContext*>(lParam);
    ::SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    ::DragAcceptFiles(dialog, TRUE);
    Win32DialogControls controls(dialog);
    context->logic.opened(controls);
    // The logic sets the focus it wants; the system's choice would override it.
    return FALSE;
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

INT_PTR CALLBACK OverwriteProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) return TRUE;
  if (message != WM_COMMAND) return FALSE;
  switch (LOWORD(wParam)) {
    case IDOK:
      ::EndDialog(dialog, static_cast<INT_PTR>(OverwriteChoice::Merge));
      return TRUE;
    case IDCANCEL:
      ::EndDialog(dialog, static_cast<INT_PTR>(OverwriteChoice::Cancel));
      return TRUE;
    case IDC_REPLACE:
      ::EndDialog(dialog, static_cast<INT_PTR>(OverwriteChoice::Replace));
      return TRUE;
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

  OverwriteChoice askOverwrite() override {
    registerCommonControls();
    const INT_PTR result = ::DialogBoxParamA(instance_, MAKEINTRESOURCEA(IDD_OVERWRITE), nullptr,
                                             OverwriteProcedure, 0);
    // A question that could not be asked is not an answer to replace or merge.
    if (result != static_cast<INT_PTR>(OverwriteChoice::Merge) &&
        result != static_cast<INT_PTR>(OverwriteChoice::Replace)) {
      return OverwriteChoice::Cancel;
    }
    return static_cast<OverwriteChoice>(result);
  }

  std::unique_ptr<ProgressView> openProgress() override {
    registerCommonControls();
    return OpenProgressDialog(instance_);
  }

  bool hasConsole() const override { return false; }

  std::optional<int> runDialog(int templateId, DialogLogic& logic) override {
    registerCommonControls();
    DialogContext context{logic};
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
