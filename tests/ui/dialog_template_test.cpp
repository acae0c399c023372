#include <gtest/gtest.h>

#include "res/resource.h"
#include "ui/dialog_template.h"

namespace pelmo::ui {
namespace {

const ControlTemplate* FindControl(const DialogTemplate& dialog, std::string_view text, int id) {
  for (const ControlTemplate& control : dialog.controls) {
    if (control.id == id && control.text == text) return &control;
  }
  return nullptr;
}

TEST(DialogTemplate, DialogsCarryTheirFrames) {
  struct Row {
    int id;
    std::string_view caption;
    int width, height;
    std::size_t controls;
    bool closeBox;
  };
  for (const Row& row : {Row{IDD_MAIN, "PELMO v1.04", 296, 137, 17, false},
                         Row{IDD_PROGRESS, "PELMO", 217, 44, 4, false},
                         Row{IDD_OVERWRITE, "PELMO", 197, 44, 4, true}}) {
    SCOPED_TRACE(row.id);
    const DialogTemplate* dialog = FindDialogTemplate(row.id);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->caption, row.caption);
    EXPECT_EQ(dialog->width, row.width);
    EXPECT_EQ(dialog->height, row.height);
    EXPECT_EQ(dialog->pointSize, 8);
    EXPECT_EQ(dialog->fontName, "MS Sans Serif");
    EXPECT_EQ(dialog->controls.size(), row.controls);
    EXPECT_EQ((dialog->style & style::kSysMenu) != 0, row.closeBox);
  }
  EXPECT_EQ(FindDialogTemplate(4), nullptr);
}

TEST(DialogTemplate, ControlsKeepTextIdPositionAndStyle) {
  struct Row {
    int dialog;
    std::string_view text;
    int id;
    std::string_view windowClass;
    std::uint32_t style;
    int x, y, width, height;
  };
  using namespace style;
  const std::uint32_t shown = kChild | kVisible;
  for (const Row& row : {
           Row{IDD_MAIN, "&Favourites to Bookmarks", 105, "Button",
               shown | kAutoRadioButton | kTabStop | kGroup, 11, 18, 100, 12},
           Row{IDD_MAIN, "", 101, "Edit", shown | kEditAutoHScroll | kBorder | kTabStop, 68, 58,
               167, 14},
           Row{IDD_MAIN, "", 102, "Edit", shown | kEditAutoHScroll | kBorder | kTabStop, 68, 78,
               167, 14},
           Row{IDD_MAIN, "", 103, "Edit", shown | kEditAutoHScroll | kBorder | kTabStop, 68, 98,
               223, 14},
           Row{IDD_MAIN, "OK", IDOK, "Button", shown | kButtonCentre | kTabStop, 185, 118, 50, 14},
           Row{IDD_MAIN, "", IDC_STATIC, "Static", shown | kEtchedFrame, 123, 10, 168, 40},
           Row{IDD_PROGRESS, "", 100, "Static", shown, 32, 56, 144, 9},
           Row{IDD_PROGRESS, "", 101, "msctls_progress32", shown, 52, 26, 159, 13},
           Row{IDD_OVERWRITE, "&Merge", IDOK, "Button", shown | kDefPushButton | kTabStop, 9, 24,
               50, 14},
       }) {
    SCOPED_TRACE(row.text);
    const ControlTemplate* control = FindControl(*FindDialogTemplate(row.dialog), row.text, row.id);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->windowClass, row.windowClass);
    EXPECT_EQ(control->style, row.style);
    EXPECT_EQ(control->x, row.x);
    EXPECT_EQ(control->y, row.y);
    EXPECT_EQ(control->width, row.width);
    EXPECT_EQ(control->height, row.height);
  }
}

TEST(DialogTemplate, OverwriteButtonsStandInTabOrder) {
  const DialogTemplate& dialog = *FindDialogTemplate(IDD_OVERWRITE);
  EXPECT_EQ(dialog.controls[0].id, IDC_REPLACE);
  EXPECT_EQ(dialog.controls[1].id, IDCANCEL);
  EXPECT_EQ(dialog.controls[2].id, IDOK);
}

}  // namespace
}  // namespace pelmo::ui
