#pragma once

#include <FL/Fl_Double_Window.H>

#include <functional>
#include <string_view>
#include <vector>

#include "ui/dialog_template.h"
#include "ui/fltk/dialog_units.h"

namespace pelmo::ui {

// A window laid out from a dialog template: its controls at their places, in template
// order (the tab order). Clicks, mnemonics, Enter, Escape and the close box arrive as
// commands with a control id; a drop from a file manager arrives as its uri-list.
class DialogWindow : public Fl_Double_Window {
 public:
  DialogWindow(const DialogTemplate& dialog, const DialogFont& font);

  void onCommand(std::function<void(int controlId)> handler) { commandHandler_ = handler; }
  void onDrop(std::function<void(std::string_view uriList)> handler) { dropHandler_ = handler; }

  // The first control with this id; null when there is none. Id -1 names no control.
  Fl_Widget* control(int controlId) const;
  std::vector<Fl_Widget*> controls(int firstId, int lastId) const;
  // Puts the focus on the default push button, if the template has one, so that Enter
  // answers with it until the user moves on.
  void focusDefaultButton();

  int handle(int event) override;

 private:
  struct Control {
    const ControlTemplate* source;
    Fl_Widget* widget;
  };

  Fl_Widget* makeControl(const ControlTemplate& control, const DialogFont& font);
  void command(int controlId);
  int idOf(const Fl_Widget* widget) const;
  void focusAfter(const Fl_Widget* label);
  void moveFocus(int direction);
  bool takesTab(std::size_t index) const;
  int defaultButtonId() const;
  bool isPushButton(const Fl_Widget* widget) const;

  static void ControlCallback(Fl_Widget* widget, void* window);
  static void LabelCallback(Fl_Widget* widget, void* window);
  static void WindowCallback(Fl_Widget* widget, void* window);

  std::vector<Control> controls_;
  std::function<void(int)> commandHandler_;
  std::function<void(std::string_view)> dropHandler_;
  bool dropping_ = false;
};

}  // namespace pelmo::ui
