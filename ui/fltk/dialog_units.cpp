#include "ui/fltk/dialog_units.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include <string>

namespace pelmo::ui {
namespace {

// The templates were drawn for a face with Arial's widths; fontconfig maps the name to a
// face with the same metrics where one is installed, else to the default sans face.
constexpr const char* kDialogFace = " Arial";

constexpr int kLargestGrowth = 3;

int NominalPixelSize(int pointSize) {
  float horizontal = 96, vertical = 96;
  Fl::screen_dpi(horizontal, vertical);
  // A server that reports a nonsense resolution would give unreadable or huge dialogs.
  if (vertical < 72 || vertical > 384) vertical = 96;
  return static_cast<int>(pointSize * vertical / 72 + 0.5f);
}

DialogUnits Measure(Fl_Font face, int pixelSize) {
  fl_font(face, pixelSize);
  const double alphabet = fl_width("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  DialogUnits units;
  units.baseX = std::max((static_cast<int>(alphabet / 26) + 1) / 2, 1);
  units.baseY = std::max(fl_height(), 1);
  return units;
}

// The text as drawn: & marks the next letter, && is one &.
std::string Shown(std::string_view text) {
  std::string shown;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    shown += text[i];
  }
  return shown;
}

bool TextsFit(std::span<const DialogTemplate* const> templates, const DialogUnits& units) {
  for (const DialogTemplate* dialog : templates) {
    if (!dialog) continue;
    for (const ControlTemplate& control : dialog->controls) {
      if (control.windowClass != "Static" || control.text.empty()) continue;
      if (fl_width(Shown(control.text).c_str()) > units.toPixelsX(control.width)) return false;
    }
  }
  return true;
}

}  // namespace

DialogFont ChooseDialogFont(std::span<const DialogTemplate* const> templates) {
  DialogFont font;
  Fl::set_font(FL_FREE_FONT, kDialogFace);
  font.face = FL_FREE_FONT;
  const int pointSize = !templates.empty() && templates[0] ? templates[0]->pointSize : 8;
  const int nominal = NominalPixelSize(pointSize);
  for (int size = nominal; size <= nominal + kLargestGrowth; ++size) {
    DialogUnits units = Measure(font.face, size);
    if (TextsFit(templates, units)) {
      font.pixelSize = size;
      font.units = units;
      return font;
    }
  }
  font.pixelSize = nominal;
  font.units = Measure(font.face, nominal);
  return font;
}

}  // namespace pelmo::ui
