#include "ui/fltk/widgets.h"

#include <FL/Fl.H>
#include <FL/fl_ask.H>
#include <FL/fl_draw.H>

#include <string>

namespace pelmo::ui {

namespace {
// Room that the edit box keeps between its border and its text.
constexpr int kInputTextMargin = 6;
}  // namespace

int EditBox::handle(int event) {
  // Tab moves on even from a selection, which the toolkit's box would only clear.
  if (event == FL_KEYBOARD && Fl::event_key() == FL_Tab) return 0;
  if (scrollsSideways_ || (event != FL_KEYBOARD && event != FL_PASTE)) {
    return Fl_Input::handle(event);
  }
  const std::string before(value(), static_cast<std::size_t>(size()));
  const int cursor = position();
  const int anchor = mark();
  const int handled = Fl_Input::handle(event);
  if (size() > static_cast<int>(before.size()) && !textFits()) {
    value(before.data(), static_cast<int>(before.size()));
    position(cursor, anchor);
    fl_beep();
  }
  return handled;
}

bool EditBox::textFits() const {
  fl_font(textfont(), textsize());
  const int room = w() - Fl::box_dw(box()) - kInputTextMargin;
  return fl_width(value(), size()) <= room;
}

int MnemonicLabel::handle(int event) {
  if (event == FL_SHORTCUT && label() && Fl_Widget::test_shortcut(label())) {
    do_callback();
    return 1;
  }
  return Fl_Box::handle(event);
}

// Text from the very left of the box, as a static control draws it; the toolkit would
// keep a margin.
void MnemonicLabel::draw() {
  draw_box();
  draw_label(x(), y(), w(), h(), align());
}

void GroupFrame::draw() {
  fl_font(labelfont(), labelsize());
  const int textHeight = fl_height();
  draw_box(FL_ENGRAVED_FRAME, x(), y() + textHeight / 2, w(), h() - textHeight / 2, color());
  if (!label() || !*label()) return;
  int textWidth = 0, unused = 0;
  fl_measure(label(), textWidth, unused, 0);
  const int left = x() + textHeight / 2;
  fl_color(color());
  fl_rectf(left, y(), textWidth + 4, textHeight);
  draw_label(left + 2, y(), textWidth, textHeight, FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
}

void DefaultButton::draw() {
  Fl_Button::draw();
  fl_color(FL_BLACK);
  fl_rect(x(), y(), w(), h());
}

}  // namespace pelmo::ui
