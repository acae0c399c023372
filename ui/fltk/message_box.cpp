#include "ui/fltk/message_box.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <string>

#include "ui/fltk/input_block.h"
#include "ui/fltk/widgets.h"

namespace pelmo::ui {
namespace {

constexpr int kMargin = 12;
constexpr int kIconSize = 32;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kLongestLine = 400;
// What a box keeps free on both sides of its label.
constexpr int kLabelMargins = 6;

class IconBox : public Fl_Widget {
 public:
  IconBox(int x, int y, int size, Icon icon) : Fl_Widget(x, y, size, size), icon_(icon) {}

  void draw() override {
    const char* mark = "i";
    Fl_Color sign = FL_BLUE;
    Fl_Color ink = FL_WHITE;
    if (icon_ == Icon::Warning) {
      fl_color(FL_YELLOW);
      fl_polygon(x() + w() / 2, y() + 1, x() + w() - 1, y() + h() - 2, x(), y() + h() - 2);
      fl_color(FL_BLACK);
      fl_loop(x() + w() / 2, y() + 1, x() + w() - 1, y() + h() - 2, x(), y() + h() - 2);
      drawMark("!", FL_BLACK, 4);
      return;
    }
    if (icon_ == Icon::Error) {
      sign = FL_RED;
      mark = "X";
    } else if (icon_ == Icon::Question) {
      mark = "?";
    }
    fl_color(sign);
    fl_pie(x(), y(), w(), h(), 0, 360);
    drawMark(mark, ink, 0);
  }

 private:
  void drawMark(const char* mark, Fl_Color ink, int drop) {
    fl_color(ink);
    fl_font(FL_HELVETICA_BOLD, h() * 2 / 3);
    fl_draw(mark, x(), y() + drop, w(), h(), FL_ALIGN_CENTER);
  }

  Icon icon_;
};

// Enter presses the button that has the focus, else OK, as in the dialogs.
class MessageWindow : public Fl_Double_Window {
 public:
  MessageWindow(int w, int h) : Fl_Double_Window(w, h) {}
  Fl_Button* ok = nullptr;
  Fl_Button* cancel = nullptr;

  int handle(int event) override {
    if (event == FL_SHORTCUT && (Fl::event_key() == FL_Enter || Fl::event_key() == FL_KP_Enter)) {
      Fl_Widget* focus = Fl::focus();
      (focus == cancel && cancel ? cancel : ok)->do_callback();
      return 1;
    }
    return Fl_Double_Window::handle(event);
  }
};

// Escape and the close box end the box with the answer in *answer left as it is.
void CloseCallback(Fl_Widget* window, void*) {
  window->hide();
}

void OkCallback(Fl_Widget* button, void* answer) {
  *static_cast<bool*>(answer) = true;
  button->window()->hide();
}

void CancelCallback(Fl_Widget* button, void* answer) {
  *static_cast<bool*>(answer) = false;
  button->window()->hide();
}

}  // namespace

bool RunMessageBox(std::string_view text, Icon icon, bool withCancel, const DialogFont& font) {
  // Sizes are drawn for 96 dots per inch and grow with the desktop's scale.
  const int margin = font.scaled(kMargin);
  const int iconSize = font.scaled(kIconSize);
  const int buttonWidth = font.scaled(kButtonWidth);
  const int buttonHeight = std::max(font.scaled(kButtonHeight), font.pixelSize + 8);
  const int labelMargins = font.scaled(kLabelMargins);
  const std::string message(text);
  fl_font(font.face, font.pixelSize);
  int textWidth = font.scaled(kLongestLine), textHeight = 0;
  fl_measure(message.c_str(), textWidth, textHeight, 0);
  textWidth = std::max(textWidth, 1);
  textHeight = std::max(textHeight, iconSize);
  // The caption is the title line; a frame cuts it when the window is narrower, so the
  // window is at least as wide as the caption in a bold face of the same size, with room
  // for the frame's buttons.
  fl_font(FL_HELVETICA_BOLD, font.pixelSize);
  const int captionWidth =
      static_cast<int>(fl_width(std::string(kTitleLine).c_str())) + 4 * (font.pixelSize + margin);

  const int buttons = withCancel ? 2 : 1;
  const int buttonRow = buttons * buttonWidth + (buttons - 1) * margin / 2;
  const int width = std::max(
      {margin * 3 + iconSize + textWidth + labelMargins, margin * 2 + buttonRow, captionWidth});
  const int height = margin * 3 + textHeight + buttonHeight;

  MessageWindow window(width, height);
  window.copy_label(std::string(kTitleLine).c_str());
  new IconBox(margin, margin, iconSize, icon);
  auto* label = new Fl_Box(margin * 2 + iconSize, margin, textWidth + labelMargins, textHeight);
  label->copy_label(message.c_str());
  label->labelfont(font.face);
  label->labelsize(font.pixelSize);
  // A plain box draws an & as it is: messages hold no mnemonics.
  label->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT | FL_ALIGN_WRAP);

  bool answer = !withCancel;
  int left = (width - buttonRow) / 2;
  const int top = height - margin - buttonHeight;
  auto* ok = new DefaultButton(left, top, buttonWidth, buttonHeight);
  ok->label("OK");
  window.ok = ok;
  ok->labelfont(font.face);
  ok->labelsize(font.pixelSize);
  ok->callback(OkCallback, &answer);
  if (withCancel) {
    left += buttonWidth + margin / 2;
    auto* cancel = new Fl_Button(left, top, buttonWidth, buttonHeight, "Cancel");
    window.cancel = cancel;
    cancel->labelfont(font.face);
    cancel->labelsize(font.pixelSize);
    cancel->callback(CancelCallback, &answer);
  }
  window.end();
  window.callback(CloseCallback);
  window.set_modal();
  int x = 0, y = 0, w = 0, h = 0;
  Fl::screen_work_area(x, y, w, h);
  window.position(x + (w - width) / 2, y + (h - height) / 2);

  // A message during a conversion is answered, but not by what was typed before it.
  InputReopened input;
  window.show();
  ok->take_focus();
  while (window.shown()) Fl::wait();
  return answer;
}

}  // namespace pelmo::ui
