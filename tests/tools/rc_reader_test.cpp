#include "tools/rc_table/rc_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"
#include "ui/dialog_template.h"

namespace pelmo::rc {
namespace {

using testing::TempDir;
using testing::WriteFile;

constexpr const char* kDialogHead =
    "1 DIALOGEX 0, 0, 100, 50\n"
    "STYLE DS_MODALFRAME | WS_POPUP\n"
    "CAPTION \"Title\"\n"
    "FONT 8, \"MS Sans Serif\"\n"
    "BEGIN\n";

// Macros from an included header, joined strings, doubled quotes, NOT and the
// implicit child and visible bits of a control.
TEST(RcReader, ReadsDialogsAndTheirControls) {
  TempDir dir;
  WriteFile(dir / "ids.h", "#define IDC_NAME 101\n#define WIDE (40 + 0)\n");
  WriteFile(dir / "a.rc",
            "#include \"ids.h\"\n"
            "#include <windows.h>\n"
            "// a comment\n"
            "7 ICON \"app.ico\"\n" +
                std::string(kDialogHead) +
                "  CONTROL \"Say \"\"hi\"\"\" \"!\", IDC_NAME, \"Button\", BS_AUTORADIOBUTTON | "
                "NOT WS_VISIBLE, 1, 2, 3, 4\n"
                "  /* spread\n over lines */ CONTROL \"\", -1, \"Static\", 0, 5, 6, 7, 8, 0\n"
                "END\n");
  std::string error;
  std::optional<Resources> resources = ReadResourceScript(dir / "a.rc", {}, error);
  ASSERT_TRUE(resources) << error;
  ASSERT_EQ(resources->dialogs.size(), 1U);
  const Dialog& dialog = resources->dialogs[0];
  EXPECT_EQ(dialog.id, 1);
  EXPECT_EQ(dialog.caption, "Title");
  EXPECT_EQ(dialog.pointSize, 8);
  EXPECT_EQ(dialog.fontName, "MS Sans Serif");
  EXPECT_EQ(dialog.width, 100);
  EXPECT_EQ(dialog.height, 50);
  ASSERT_EQ(dialog.controls.size(), 2U);
  const Control& radio = dialog.controls[0];
  EXPECT_EQ(radio.text, "Say \"hi\"!");
  EXPECT_EQ(radio.id, 101);
  EXPECT_EQ(radio.windowClass, "Button");
  EXPECT_EQ(radio.style, ui::style::kChild | ui::style::kAutoRadioButton);
  EXPECT_EQ(radio.x + radio.y + radio.width + radio.height, 10);
  EXPECT_EQ(dialog.controls[1].id, -1);
  EXPECT_EQ(dialog.controls[1].height, 8);
}

// Each fault names the file, the line and what was wrong, and gives no resources.
TEST(RcReader, ReportsWhereAndWhyAScriptCannotBeRead) {
  const std::string head = kDialogHead;
  const std::string control = "  CONTROL \"OK\", 1, \"Button\", 0, 1, 2, 3, 4\n";
  const struct {
    const char* what;
    std::string script;
    std::string error;  // after the script's path
  } cases[] = {
      {"missing header", "#include \"missing.h\"\n", ":1: missing.h not found"},
      {"unsupported resource", "1 MENU\nBEGIN\nEND\n", ":1: resource type MENU is not supported"},
      {"no resource type", "1 \"x\"\n", ":1: expected a keyword, found x"},
      {"no id", "DIALOGEX 0, 0, 1, 1\n", ":1: unknown value DIALOGEX"},
      {"unsupported option", "1 DIALOGEX 0, 0, 1, 1\nMENU 5\nBEGIN\nEND\n",
       ":2: dialog option MENU is not supported"},
      {"missing comma in the frame", "1 DIALOGEX 0, 0 1, 1\nBEGIN\nEND\n", ":1: expected ,"},
      {"another control statement", head + "  PUSHBUTTON \"OK\", 1, 1, 2, 3, 4\nEND\n",
       ":6: only CONTROL statements are supported"},
      {"unknown style", head + "  CONTROL \"OK\", 1, \"Button\", WS_NOPE, 1, 2, 3, 4\nEND\n",
       ":6: unknown value WS_NOPE"},
      {"unknown id", head + "  CONTROL \"OK\", IDC_NOPE, \"Button\", 0, 1, 2, 3, 4\nEND\n",
       ":6: unknown value IDC_NOPE"},
      {"unquoted text", head + "  CONTROL OK, 1, \"Button\", 0, 1, 2, 3, 4\nEND\n",
       ":6: expected a quoted string"},
      {"short control", head + "  CONTROL \"OK\", 1, \"Button\", 0, 1, 2\nEND\n", ":7: expected ,"},
      {"unbalanced parenthesis", head + "  CONTROL \"OK\", (1, \"Button\", 0, 1, 2, 3, 4\nEND\n",
       ":6: expected )"},
      {"dialog without END", head + control, ":6: unexpected end of file"},
  };
  TempDir dir;
  for (const auto& c : cases) {
    WriteFile(dir / "bad.rc", c.script);
    std::string error;
    EXPECT_FALSE(ReadResourceScript(dir / "bad.rc", {}, error)) << c.what;
    EXPECT_EQ(error, dir / "bad.rc" + c.error) << c.what;
  }
}

TEST(RcReader, FindsHeadersInTheIncludeDirectoriesAndReportsAMissingScript) {
  TempDir dir;
  std::filesystem::create_directory(dir / "inc");
  WriteFile(dir / "inc/ids.h", "#define IDD_ONE 1\n");
  WriteFile(dir / "a.rc", "#include \"ids.h\"\nIDD_ONE DIALOGEX 0, 0, 1, 1\nBEGIN\nEND\n");
  std::string error;
  EXPECT_FALSE(ReadResourceScript(dir / "a.rc", {}, error));
  std::optional<Resources> resources = ReadResourceScript(dir / "a.rc", {dir / "inc"}, error);
  ASSERT_TRUE(resources) << error;
  ASSERT_EQ(resources->dialogs.size(), 1U);
  EXPECT_EQ(resources->dialogs[0].id, 1);
  EXPECT_TRUE(resources->dialogs[0].controls.empty());

  EXPECT_FALSE(ReadResourceScript(dir / "missing.rc", {}, error));
  EXPECT_EQ(error, dir / "missing.rc" + ": cannot be read");
}

}  // namespace
}  // namespace pelmo::rc
