#pragma once

#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Widget.H>

namespace pelmo::ui {

// A single-line edit box. One that scrolls sideways takes text past its width; one that
// does not refuses what would not fit, as an edit control without automatic scrolling.
class EditBox : public Fl_Input {
 public:
  EditBox(int x, int y, int w, int h, bool scrollsSideways)
      : Fl_Input(x, y, w, h), scrollsSideways_(scrollsSideways) {}
  int handle(int event) override;

 private:
  bool textFits() const;

  bool scrollsSideways_;
};

// A text label whose & letter moves the focus on (its callback does that).
class MnemonicLabel : public Fl_Box {
 public:
  MnemonicLabel(int x, int y, int w, int h) : Fl_Box(x, y, w, h) { set_flag(SHORTCUT_LABEL); }
  int handle(int event) override;
  void draw() override;
};

// A frame with its caption set into the top edge.
class GroupFrame : public Fl_Widget {
 public:
  GroupFrame(int x, int y, int w, int h) : Fl_Widget(x, y, w, h) { set_flag(SHORTCUT_LABEL); }
  void draw() override;
};

// The default push button: a dark outline round the usual button.
class DefaultButton : public Fl_Button {
 public:
  DefaultButton(int x, int y, int w, int h) : Fl_Button(x, y, w, h) {}
  void draw() override;
};

}  // namespace pelmo::ui
