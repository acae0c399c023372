#include "ui/win32/progress_dialog.h"

#include <chrono>
#include <string>

#include "res/resource.h"
#include "ui/progress.h"

namespace pelmo::ui {
namespace {

INT_PTR CALLBACK ProgressProcedure(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

class ProgressDialogView : public ProgressView {
 public:
  explicit ProgressDialogView(HWND dialog) : dialog_(dialog) {
    ::SetCapture(dialog_);
    ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
    repaint();
  }
  ~ProgressDialogView() override {
    ::ReleaseCapture();
    ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
    ::DestroyWindow(dialog_);
  }
  ProgressDialogView(const ProgressDialogView&) = delete;
  ProgressDialogView& operator=(const ProgressDialogView&) = delete;

  void setStatus(std::string_view text) override {
    const std::string terminated(text);
    ::SendDlgItemMessageA(dialog_, IDC_PROGRESS_STATUS, WM_SETTEXT, 0,
                          reinterpret_cast<LPARAM>(terminated.c_str()));
    repaint();
  }
  // The 32-bit range: the older message carries 16 bits and would cut a long count.
  void setRange(std::uint32_t upper) override {
    ::SendDlgItemMessageA(dialog_, IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, static_cast<LPARAM>(upper));
    repaint();
  }
  void setStep(int step) override {
    ::SendDlgItemMessageA(dialog_, IDC_PROGRESS_BAR, PBM_SETSTEP, static_cast<WPARAM>(step), 0);
  }
  void step() override {
    ::SendDlgItemMessageA(dialog_, IDC_PROGRESS_BAR, PBM_STEPIT, 0, 0);
    repaint();
  }
  void setPosition(int position) override {
    ::SendDlgItemMessageA(dialog_, IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    repaint();
  }

 private:
  // No message is retrieved while a conversion runs, so what changed is painted by
  // sending the paint message directly; not for every change, which would slow a
  // conversion of many small files.
  void repaint() {
    if (throttle_.admit()) ::UpdateWindow(dialog_);
  }

  HWND dialog_;
  RedrawThrottle throttle_{[] { return std::chrono::steady_clock::now(); }};
};

}  // namespace

std::unique_ptr<ProgressView> OpenProgressDialog(HINSTANCE instance) {
  HWND dialog =
      ::CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_PROGRESS), nullptr, ProgressProcedure, 0);
  if (dialog == nullptr) return nullptr;
  return std::make_unique<ProgressDialogView>(dialog);
}

}  // namespace pelmo::ui
