#pragma once

#include <FL/Enumerations.H>

#include <span>
#include <string_view>

#include "ui/dialog_template.h"

namespace pelmo::ui {

// The font's base units: the average width of a letter and the height of a line, in
// pixels. A dialog unit is a quarter of the first across and an eighth of the second down.
struct DialogUnits {
  int baseX = 6;
  int baseY = 13;

  int toPixelsX(int units) const { return Scale(units, baseX, 4); }
  int toPixelsY(int units) const { return Scale(units, baseY, 8); }

  // units * base / divisor, rounded half away from zero as the Win32 layout rounds.
  static int Scale(int units, int base, int divisor) {
    long long product = static_cast<long long>(units) * base;
    long long half = divisor / 2;
    return static_cast<int>(product >= 0 ? (product + half) / divisor
                                         : -((-product + half) / divisor));
  }
};

// The toolkit font that the dialogs are drawn in, its base units, and the desktop's
// scale (1 at 96 dots per inch) for what is measured in pixels, not in dialog units.
struct DialogFont {
  Fl_Font face = FL_HELVETICA;
  int pixelSize = 11;
  DialogUnits units;
  double scale = 1;

  int scaled(int pixels) const { return static_cast<int>(pixels * scale + 0.5); }
};

// The desktop's resolution in dots per inch: the X resource Xft.dpi where the desktop
// sets one (resources as the X server holds them, "name:\tvalue" lines), else the
// server's own, multiplied by FLTK_SCALING_FACTOR where that is set. A value out of all
// reason counts as unset.
double DesktopDpi(std::string_view resources, const char* scalingFactor, double serverDpi);

// The font for the templates' point size at the screen's resolution, a little larger
// when that is what it takes for every text of the templates to fit its box. The display
// must be open.
DialogFont ChooseDialogFont(std::span<const DialogTemplate* const> templates);

}  // namespace pelmo::ui
