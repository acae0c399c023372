#include "ui/fltk/message_box.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Return_Button.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <string>

namespace pelmo::ui {
namespace {

constexpr int kMargin = 12;
constexpr int kIconSize = 32;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kLongestLine = 400;

class IconBox : public Fl_Widget {
 public:
  IconBox(int x, int y, Icon icon) : Fl_Widget(x, y, kIconSize, kIconSize), icon_(icon) {}

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

// Escape and the close box end the box with the answer in *answer left as it is.
void CloseCallback(Fl_Widget* window, void*) {
  window->hide();
}

void AnswerCallback(Fl_Widget* button, void* answer) {
  *static_cast<bool*>(answer) = button->argument() != 0;
  button->window()->hide();
}

}  // namespace

bool RunMessageBox(std::string_view text, Icon icon, bool withCancel, const DialogFont& font) {
  const std::string message(text);
  fl_font(font.face, font.pixelSize);
  int textWidth = kLongestLine, textHeight = 0;
  fl_measure(message.c_str(), textWidth, textHeight, 0);
  textWidth = std::max(textWidth, 1);
  textHeight = std::max(textHeight, kIconSize);

  const int buttons = withCancel ? 2 : 1;
  const int buttonRow = buttons * kButtonWidth + (buttons - 1) * kMargin / 2;
  const int width = std::max(kMargin * 3 + kIconSize + textWidth, kMargin * 2 + buttonRow);
  const int height = kMargin * 3 + textHeight + kButtonHeight;

  Fl_Double_Window window(width, height);
  window.copy_label(std::string(kTitleLine).c_str());
  new IconBox(kMargin, kMargin, icon);
  auto* label = new Fl_Box(kMargin * 2 + kIconSize, kMargin, textWidth, textHeight);
  label->copy_label(message.c_str());
  label->labelfont(font.face);
  label->labelsize(font.pixelSize);
  // A plain box draws an & as it is: messages hold no mnemonics.
  label->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT | FL_ALIGN_WRAP);

  bool answer = !withCancel;
  int left = (width - buttonRow) / 2;
  const int top = height - kMargin - kButtonHeight;
  auto* ok = new Fl_Return_Button(left, top, kButtonWidth, kButtonHeight, "OK");
  ok->labelfont(font.face);
  ok->labelsize(font.pixelSize);
  ok->callback(AnswerCallback, &answer);
  ok->argument(1);
  if (withCancel) {
    left += kButtonWidth + kMargin / 2;
    auto* cancel = new Fl_Button(left, top, kButtonWidth, kButtonHeight, "Cancel");
    cancel->labelfont(font.face);
    cancel->labelsize(font.pixelSize);
    cancel->callback(AnswerCallback, &answer);
    cancel->argument(0);
  }
  window.end();
  window.callback(CloseCallback);
  window.set_modal();
  int x = 0, y = 0, w = 0, h = 0;
  Fl::screen_work_area(x, y, w, h);
  window.position(x + (w - width) / 2, y + (h - height) / 2);

  // A progress window holds the input while it is open; a message must get it back.
  Fl_Window* holder = Fl::grab();
  Fl::grab(nullptr);
  window.show();
  while (window.shown()) Fl::wait();
  Fl::grab(holder);
  return answer;
}

}  // namespace pelmo::ui
