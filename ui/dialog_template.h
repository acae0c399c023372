#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace pelmo::ui {

// Window and control styles, with the values the resource compiler gives them, so that
// a template reads the same here as in the Win32 build.
namespace style {
inline constexpr std::uint32_t kPopup = 0x80000000;
inline constexpr std::uint32_t kChild = 0x40000000;
inline constexpr std::uint32_t kVisible = 0x10000000;
inline constexpr std::uint32_t kDisabled = 0x08000000;
inline constexpr std::uint32_t kCaption = 0x00C00000;
inline constexpr std::uint32_t kBorder = 0x00800000;
inline constexpr std::uint32_t kSysMenu = 0x00080000;
inline constexpr std::uint32_t kGroup = 0x00020000;
inline constexpr std::uint32_t kTabStop = 0x00010000;
inline constexpr std::uint32_t kModalFrame = 0x0080;
inline constexpr std::uint32_t k3dLook = 0x0004;
inline constexpr std::uint32_t kCentre = 0x0800;
inline constexpr std::uint32_t kContextHelp = 0x2000;
// Button kinds: the low four bits.
inline constexpr std::uint32_t kButtonKindMask = 0x000F;
inline constexpr std::uint32_t kPushButton = 0x0000;
inline constexpr std::uint32_t kDefPushButton = 0x0001;
inline constexpr std::uint32_t kGroupBox = 0x0007;
inline constexpr std::uint32_t kAutoRadioButton = 0x0009;
inline constexpr std::uint32_t kButtonCentre = 0x0300;
// Static kinds: the low five bits.
inline constexpr std::uint32_t kStaticKindMask = 0x001F;
inline constexpr std::uint32_t kStaticLeft = 0x0000;
inline constexpr std::uint32_t kEtchedFrame = 0x0012;
inline constexpr std::uint32_t kEditLeft = 0x0000;
inline constexpr std::uint32_t kEditAutoHScroll = 0x0080;
}  // namespace style

// The style names a template may use.
struct StyleName {
  std::string_view name;
  std::uint32_t value;
};
inline constexpr StyleName kStyleNames[] = {
    {"WS_POPUP", style::kPopup},
    {"WS_CHILD", style::kChild},
    {"WS_VISIBLE", style::kVisible},
    {"WS_DISABLED", style::kDisabled},
    {"WS_CAPTION", style::kCaption},
    {"WS_BORDER", style::kBorder},
    {"WS_SYSMENU", style::kSysMenu},
    {"WS_GROUP", style::kGroup},
    {"WS_TABSTOP", style::kTabStop},
    {"DS_MODALFRAME", style::kModalFrame},
    {"DS_3DLOOK", style::k3dLook},
    {"DS_CENTER", style::kCentre},
    {"DS_CONTEXTHELP", style::kContextHelp},
    {"BS_PUSHBUTTON", style::kPushButton},
    {"BS_DEFPUSHBUTTON", style::kDefPushButton},
    {"BS_GROUPBOX", style::kGroupBox},
    {"BS_AUTORADIOBUTTON", style::kAutoRadioButton},
    {"BS_CENTER", style::kButtonCentre},
    {"SS_LEFT", style::kStaticLeft},
    {"SS_ETCHEDFRAME", style::kEtchedFrame},
    {"ES_LEFT", style::kEditLeft},
    {"ES_AUTOHSCROLL", style::kEditAutoHScroll},
};

// One control of a dialog template; positions and sizes are in dialog units.
struct ControlTemplate {
  std::string_view text;
  int id;
  std::string_view windowClass;  // "Button", "Static", "Edit" or "msctls_progress32"
  std::uint32_t style;
  int x, y, width, height;
};

struct DialogTemplate {
  int id;
  std::uint32_t style;
  std::string_view caption;
  int pointSize;
  std::string_view fontName;
  int x, y, width, height;
  std::span<const ControlTemplate> controls;  // in template order, which is the tab order
};

// The dialogs of res/pelmo.rc, from the table generated at build time; null for an id
// that the resources do not hold.
const DialogTemplate* FindDialogTemplate(int id);

}  // namespace pelmo::ui
