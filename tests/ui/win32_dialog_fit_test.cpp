// Each text of the three dialogs fits its control in the dialog's font, with room to
// spare for a font that draws a little wider (Windows 98's and Wine's differ).
#include <gtest/gtest.h>

#include <string>

#include "res/resource.h"
#include "ui/win32/windows_headers.h"

namespace {

// The share of a control's width that its text may take.
constexpr double kLargestShare = 0.92;

INT_PTR CALLBACK Procedure(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

struct Fit {
  std::string text;
  int textWidth;
  int controlWidth;
};

// The static texts and buttons of a dialog, and how wide each text draws.
std::vector<Fit> MeasureTexts(int dialogId) {
  std::vector<Fit> fits;
  HWND dialog = ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(dialogId),
                                     nullptr, Procedure, 0);
  if (dialog == nullptr) return fits;
  for (HWND control = ::GetWindow(dialog, GW_CHILD); control != nullptr;
       control = ::GetWindow(control, GW_HWNDNEXT)) {
    char text[256] = {};
    char className[64] = {};
    ::GetWindowTextA(control, text, sizeof text);
    ::GetClassNameA(control, className, sizeof className);
    const std::string kind = className;
    if (text[0] == '\0' || (kind != "Static" && kind != "Button")) continue;
    HDC context = ::GetDC(control);
    HGDIOBJ old =
        ::SelectObject(context, reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0)));
    RECT bounds{};
    ::DrawTextA(context, text, -1, &bounds, DT_CALCRECT | DT_SINGLELINE);
    ::SelectObject(context, old);
    ::ReleaseDC(control, context);
    RECT client{};
    ::GetClientRect(control, &client);
    // A radio button's text stands right of its circle.
    const LONG style = ::GetWindowLongA(control, GWL_STYLE) & 0x0F;
    const int box = kind == "Button" && style == BS_AUTORADIOBUTTON
                        ? ::GetSystemMetrics(SM_CXMENUCHECK) + 4
                        : 0;
    fits.push_back({text, bounds.right - bounds.left, client.right - client.left - box});
  }
  ::DestroyWindow(dialog);
  return fits;
}

TEST(DialogTexts, FitTheirControlsWithRoomToSpare) {
  ::InitCommonControls();
  for (int dialogId : {IDD_MAIN, IDD_PROGRESS, IDD_OVERWRITE}) {
    const std::vector<Fit> fits = MeasureTexts(dialogId);
    EXPECT_FALSE(fits.empty()) << "dialog " << dialogId;
    for (const Fit& fit : fits) {
      EXPECT_LE(fit.textWidth, fit.controlWidth * kLargestShare) << fit.text;
    }
  }
}

}  // namespace
