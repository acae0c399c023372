#include "ui/win32/progress_dialog.h"

#include <chrono>
#include <cstdint>
#include <new>
#include <string>

#include "res/resource.h"
#include "ui/progress.h"

namespace pelmo::ui {
namespace {

// The largest bound of PBM_SETRANGE, which every version of the common controls has;
// the 32-bit range needs version 4.70, which the first Windows 95 lacks.
constexpr std::int64_t kLargestControlBound = 0xFFFF;

INT_PTR CALLBACK ProgressProcedure(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

// The bar's bound as the control takes it: larger bounds are scaled to 16 bits, and a
// bound of 0 shows as an empty bar of 1.
int ControlBound(std::int64_t upper) {
  return static_cast<int>(upper > kLargestControlBound ? kLargestControlBound
                          : upper < 1                  ? 1
                                                       : upper);
}

int ControlPosition(const ProgressBar& bar) {
  if (bar.upper() <= kLargestControlBound) return static_cast<int>(bar.position());
  return static_cast<int>(bar.position() * kLargestControlBound / bar.upper());
}

// The window keeps the state of the bar and the status line, and the shared throttle
// decides when the controls are told: every message to a control repaints it, and a
// conversion of many small files would spend its time painting.
class ProgressDialogView : public ProgressView {
 public:
  explicit ProgressDialogView(HWND dialog) : dialog_(dialog) {
    ::SetCapture(dialog_);
    showWaitCursor();
    paint();
  }
  ~ProgressDialogView() override {
    ::ReleaseCapture();
    ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
    ::DestroyWindow(dialog_);
  }
  ProgressDialogView(const ProgressDialogView&) = delete;
  ProgressDialogView& operator=(const ProgressDialogView&) = delete;

  void setStatus(std::string_view text) override {
    status_.assign(text);
    statusChanged_ = true;
    changed();
  }
  void setRange(std::uint32_t upper) override {
    bar_.setRange(upper);
    changed();
  }
  void setStep(int step) override { bar_.setStep(step); }
  void step() override {
    bar_.step();
    changed();
  }
  void setPosition(int position) override {
    bar_.setPosition(position);
    changed();
  }

 private:
  void changed() {
    if (throttle_.admit()) show();
  }

  // No message is retrieved while a conversion runs, so the window is painted by
  // sending the paint message directly, and the cursor is set again for the pointer
  // that may have moved onto the window meanwhile.
  void show() {
    if (statusChanged_) {
      ::SendDlgItemMessageA(dialog_, IDC_PROGRESS_STATUS, WM_SETTEXT, 0,
                            reinterpret_cast<LPARAM>(status_.c_str()));
      statusChanged_ = false;
    }
    const int bound = ControlBound(bar_.upper());
    if (bound != shownBound_) {
      ::SendDlgItemMessageA(dialog_, IDC_PROGRESS_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, bound));
      shownBound_ = bound;
      shownPosition_ = -1;
    }
    const int position = ControlPosition(bar_);
    if (position != shownPosition_) {
      ::SendDlgItemMessageA(dialog_, IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(position),
                            0);
      shownPosition_ = position;
    }
    showWaitCursor();
    paint();
  }

  // Asking after the queue, which takes nothing from it, lets a system that draws
  // through a buffer (Wine) learn which parts of the window were uncovered, and put
  // the painting on the screen.
  void paint() {
    ::GetQueueStatus(QS_ALLINPUT);
    ::UpdateWindow(dialog_);
    ::GetQueueStatus(QS_ALLINPUT);
  }

  void showWaitCursor() { ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT)); }

  HWND dialog_;
  ProgressBar bar_;
  std::string status_;
  bool statusChanged_ = false;
  int shownBound_ = 100;  // the control's own range until it is set
  int shownPosition_ = 0;
  RedrawThrottle throttle_{[] { return std::chrono::steady_clock::now(); }};
};

}  // namespace

std::unique_ptr<ProgressView> OpenProgressDialog(HINSTANCE instance) {
  HWND dialog =
      ::CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_PROGRESS), nullptr, ProgressProcedure, 0);
  if (dialog == nullptr) return nullptr;
  // Without memory for its state there is no progress window, as when it cannot be made.
  ProgressDialogView* view = new (std::nothrow) ProgressDialogView(dialog);
  if (view == nullptr) ::DestroyWindow(dialog);
  return std::unique_ptr<ProgressView>(view);
}

}  // namespace pelmo::ui
