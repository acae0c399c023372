#include "ui/fltk/dialog_units.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <cstdlib>
#include <string>

namespace pelmo::ui {
namespace {

// The templates were drawn for a face with Arial's widths; fontconfig maps the name to a
// face with the same metrics where one is installed, else to the default sans face.
constexpr const char* kDialogFace = " Arial";

constexpr int kLargestGrowth = 3;

constexpr double kUsualDpi = 96;

bool Reasonable(double dpi) {
  return dpi >= 48 && dpi <= 480;
}

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A number that fills the whole text, or 0.
double Number(std::string_view text) {
  const std::string copy(Trimmed(text));
  if (copy.empty()) return 0;
  char* end = nullptr;
  const double value = std::strtod(copy.c_str(), &end);
  return end == copy.c_str() + copy.size() ? value : 0;
}

double ResourceDpi(std::string_view resources) {
  double found = 0;
  while (!resources.empty()) {
    const std::size_t end = resources.find('\n');
    const std::string_view line = resources.substr(0, end);
    resources = end == std::string_view::npos ? std::string_view() : resources.substr(end + 1);
    const std::size_t colon = line.find(':');
    if (colon != std::string_view::npos && Trimmed(line.substr(0, colon)) == "Xft.dpi") {
      found = Number(line.substr(colon + 1));  // the last one wins, as in the database
    }
  }
  return found;
}

double ServerDpi() {
  float horizontal = kUsualDpi, vertical = kUsualDpi;
  Fl::screen_dpi(horizontal, vertical);
  return vertical;
}

double CurrentDpi() {
  const char* resources = fl_display ? XResourceManagerString(fl_display) : nullptr;
  return DesktopDpi(resources ? resources : "", std::getenv("FLTK_SCALING_FACTOR"), ServerDpi());
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

double DesktopDpi(std::string_view resources, const char* scalingFactor, double serverDpi) {
  const double fromResources = ResourceDpi(resources);
  double dpi = Reasonable(fromResources) ? fromResources
               : Reasonable(serverDpi)   ? serverDpi
                                         : kUsualDpi;
  const double factor = scalingFactor ? Number(scalingFactor) : 0;
  if (factor > 0 && Reasonable(dpi * factor)) dpi *= factor;
  return dpi;
}

DialogFont ChooseDialogFont(std::span<const DialogTemplate* const> templates) {
  DialogFont font;
  Fl::set_font(FL_FREE_FONT, kDialogFace);
  font.face = FL_FREE_FONT;
  const int pointSize = !templates.empty() && templates[0] ? templates[0]->pointSize : 8;
  const double dpi = CurrentDpi();
  font.scale = dpi / kUsualDpi;
  const int nominal = static_cast<int>(pointSize * dpi / 72 + 0.5);
  for (int size = nominal; size <= nominal + font.scaled(kLargestGrowth); ++size) {
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
