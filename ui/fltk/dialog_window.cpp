#include "ui/fltk/dialog_window.h"

#include <FL/Fl.H>
#include <FL/Fl_Progress.H>
#include <FL/Fl_Round_Button.H>

#include <string>

#include "res/resource.h"
#include "text/ascii.h"
#include "ui/fltk/widgets.h"

namespace pelmo::ui {
namespace {

// Window classes are named without regard to letter case.
bool ClassIs(std::string_view windowClass, std::string_view name) {
  return text::EqualNoCase(windowClass, name);
}

std::uint32_t ButtonKind(const ControlTemplate& control) {
  return control.style & style::kButtonKindMask;
}

}  // namespace

DialogWindow::DialogWindow(const DialogTemplate& dialog, const DialogFont& font)
    : Fl_Double_Window(font.units.toPixelsX(dialog.width), font.units.toPixelsY(dialog.height)) {
  copy_label(std::string(dialog.caption).c_str());
  for (const ControlTemplate& control : dialog.controls) {
    controls_.push_back({&control, makeControl(control, font)});
  }
  end();
  if (dialog.style & style::kCentre) {
    int x = 0, y = 0, w = 0, h = 0;
    Fl::screen_work_area(x, y, w, h);
    position(x + (w - this->w()) / 2, y + (h - this->h()) / 2);
  }
  callback(WindowCallback, this);
}

Fl_Widget* DialogWindow::makeControl(const ControlTemplate& control, const DialogFont& font) {
  const DialogUnits& units = font.units;
  const int x = units.toPixelsX(control.x);
  const int y = units.toPixelsY(control.y);
  const int w = units.toPixelsX(control.width);
  const int h = units.toPixelsY(control.height);
  Fl_Widget* widget = nullptr;
  if (ClassIs(control.windowClass, "Edit")) {
    auto* input = new EditBox(x, y, w, h, (control.style & style::kEditAutoHScroll) != 0);
    input->textfont(font.face);
    input->textsize(font.pixelSize);
    input->when(FL_WHEN_NEVER);
    widget = input;
  } else if (ClassIs(control.windowClass, "msctls_progress32")) {
    auto* bar = new Fl_Progress(x, y, w, h);
    bar->minimum(0);
    bar->maximum(1);
    bar->selection_color(FL_DARK_BLUE);
    widget = bar;
  } else if (ClassIs(control.windowClass, "Button") && ButtonKind(control) == style::kGroupBox) {
    widget = new GroupFrame(x, y, w, h);
  } else if (ClassIs(control.windowClass, "Button")) {
    Fl_Button* button = nullptr;
    if (ButtonKind(control) == style::kAutoRadioButton) {
      button = new Fl_Round_Button(x, y, w, h);
      button->type(FL_RADIO_BUTTON);
    } else if (ButtonKind(control) == style::kDefPushButton) {
      button = new DefaultButton(x, y, w, h);
    } else {
      button = new Fl_Button(x, y, w, h);
    }
    // A click always reports, as a button click does even on a selected radio button.
    button->when(FL_WHEN_RELEASE_ALWAYS);
    button->callback(ControlCallback, this);
    widget = button;
  } else if ((control.style & style::kStaticKindMask) == style::kEtchedFrame) {
    widget = new Fl_Box(FL_ENGRAVED_FRAME, x, y, w, h, nullptr);
  } else {
    auto* label = new MnemonicLabel(x, y, w, h);
    label->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_WRAP | FL_ALIGN_CLIP);
    label->callback(LabelCallback, this);
    widget = label;
  }
  if (ButtonKind(control) != style::kAutoRadioButton || !ClassIs(control.windowClass, "Button")) {
    widget->align(widget->align() | FL_ALIGN_INSIDE);
  }
  widget->labelfont(font.face);
  widget->labelsize(font.pixelSize);
  widget->copy_label(std::string(control.text).c_str());
  if (!(control.style & style::kVisible)) widget->hide();
  if (control.style & style::kDisabled) widget->deactivate();
  return widget;
}

Fl_Widget* DialogWindow::control(int controlId) const {
  if (controlId == IDC_STATIC) return nullptr;
  for (const Control& control : controls_) {
    if (control.source->id == controlId) return control.widget;
  }
  return nullptr;
}

std::vector<Fl_Widget*> DialogWindow::controls(int firstId, int lastId) const {
  std::vector<Fl_Widget*> found;
  for (const Control& control : controls_) {
    if (control.source->id >= firstId && control.source->id <= lastId &&
        control.source->id != IDC_STATIC) {
      found.push_back(control.widget);
    }
  }
  return found;
}

int DialogWindow::handle(int event) {
  switch (event) {
    // Drops go to the dialog as a whole, never into an edit box as text.
    case FL_DND_ENTER:
    case FL_DND_DRAG:
      Fl::belowmouse(this);
      return 1;
    case FL_DND_LEAVE:
      return 1;
    case FL_DND_RELEASE:
      dropping_ = true;
      return 1;
    case FL_PASTE:
      if (!dropping_) break;
      dropping_ = false;
      if (dropHandler_) dropHandler_(std::string_view(Fl::event_text(), Fl::event_length()));
      return 1;
    case FL_KEYBOARD:
      if (Fl::event_key() == FL_Tab && !Fl::event_state(FL_CTRL | FL_ALT | FL_META)) {
        moveFocus(Fl::event_state(FL_SHIFT) ? -1 : 1);
        return 1;
      }
      break;
    case FL_SHORTCUT:
      // Before the group sees it: the toolkit's groups take Enter to move to the next field.
      if (Fl::event_key() == FL_Enter || Fl::event_key() == FL_KP_Enter) {
        Fl_Widget* focus = Fl::focus();
        command(isPushButton(focus) ? idOf(focus) : defaultButtonId());
        return 1;
      }
      break;
    default:
      break;
  }
  return Fl_Double_Window::handle(event);
}

void DialogWindow::command(int controlId) {
  if (commandHandler_) commandHandler_(controlId);
}

int DialogWindow::idOf(const Fl_Widget* widget) const {
  for (const Control& control : controls_) {
    if (control.widget == widget) return control.source->id;
  }
  return IDC_STATIC;
}

bool DialogWindow::isPushButton(const Fl_Widget* widget) const {
  for (const Control& control : controls_) {
    if (control.widget != widget) continue;
    const std::uint32_t kind = ButtonKind(*control.source);
    return ClassIs(control.source->windowClass, "Button") &&
           (kind == style::kPushButton || kind == style::kDefPushButton);
  }
  return false;
}

// The default push button, or OK when the template marks none.
int DialogWindow::defaultButtonId() const {
  for (const Control& control : controls_) {
    if (ClassIs(control.source->windowClass, "Button") &&
        ButtonKind(*control.source) == style::kDefPushButton) {
      return control.source->id;
    }
  }
  return IDOK;
}

void DialogWindow::focusDefaultButton() {
  for (const Control& control : controls_) {
    if (ClassIs(control.source->windowClass, "Button") &&
        ButtonKind(*control.source) == style::kDefPushButton) {
      control.widget->take_focus();
      return;
    }
  }
}

void DialogWindow::focusAfter(const Fl_Widget* label) {
  bool passed = false;
  for (const Control& control : controls_) {
    if (control.widget == label) {
      passed = true;
    } else if (passed && (control.source->style & style::kTabStop) && control.widget->active() &&
               control.widget->visible()) {
      control.widget->take_focus();
      return;
    }
  }
}

// Tab walks the tab stops in template order, as the dialog manager does: within a group
// of radio buttons only the selected one is a stop.
void DialogWindow::moveFocus(int direction) {
  const std::size_t count = controls_.size();
  std::size_t current = count;
  for (std::size_t i = 0; i < count; ++i) {
    if (controls_[i].widget == Fl::focus()) current = i;
  }
  std::size_t index = current == count ? (direction > 0 ? count - 1 : 0) : current;
  for (std::size_t step = 0; step < count; ++step) {
    index = (index + count + static_cast<std::size_t>(direction)) % count;
    if (takesTab(index)) {
      controls_[index].widget->take_focus();
      return;
    }
  }
}

bool DialogWindow::takesTab(std::size_t index) const {
  const Control& control = controls_[index];
  if (!(control.source->style & style::kTabStop) || !control.widget->active() ||
      !control.widget->visible()) {
    return false;
  }
  const auto isRadio = [](const Control& c) {
    return ClassIs(c.source->windowClass, "Button") &&
           ButtonKind(*c.source) == style::kAutoRadioButton;
  };
  const auto isSelected = [](const Control& c) {
    return static_cast<Fl_Button*>(c.widget)->value() != 0;
  };
  if (!isRadio(control) || isSelected(control)) return true;
  // The group runs from a control that starts one to the next that does.
  std::size_t first = index;
  while (first > 0 && !(controls_[first].source->style & style::kGroup)) --first;
  for (std::size_t i = first; i < controls_.size(); ++i) {
    if (i > first && (controls_[i].source->style & style::kGroup)) break;
    if (i != index && isRadio(controls_[i]) && isSelected(controls_[i])) return false;
  }
  return true;
}

void DialogWindow::ControlCallback(Fl_Widget* widget, void* window) {
  auto* self = static_cast<DialogWindow*>(window);
  self->command(self->idOf(widget));
}

void DialogWindow::LabelCallback(Fl_Widget* widget, void* window) {
  static_cast<DialogWindow*>(window)->focusAfter(widget);
}

// Escape and the close box both reach the dialog as Cancel.
void DialogWindow::WindowCallback(Fl_Widget*, void* window) {
  static_cast<DialogWindow*>(window)->command(IDCANCEL);
}

}  // namespace pelmo::ui
