#pragma once

#include <FL/Enumerations.H>

#include <span>

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

// The toolkit font that the dialogs are drawn in, and its base units.
struct DialogFont {
  Fl_Font face = FL_HELVETICA;
  int pixelSize = 11;
  DialogUnits units;
};

// The font for the templates' point size at the screen's resolution, a little larger
// when that is what it takes for every text of the templates to fit its box. The display
// must be open.
DialogFont ChooseDialogFont(std::span<const DialogTemplate* const> templates);

}  // namespace pelmo::ui
