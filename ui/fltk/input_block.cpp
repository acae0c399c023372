#include "ui/fltk/input_block.h"

#include <FL/Fl_Window.H>
#include <FL/x.H>

namespace pelmo::ui {
namespace {

bool IsInput(int event) {
  switch (event) {
    case FL_PUSH:
    case FL_RELEASE:
    case FL_DRAG:
    case FL_MOVE:
    case FL_MOUSEWHEEL:
    case FL_KEYDOWN:
    case FL_KEYUP:
    case FL_SHORTCUT:
    case FL_PASTE:
    case FL_DND_ENTER:
    case FL_DND_DRAG:
    case FL_DND_LEAVE:
    case FL_DND_RELEASE:
      return true;
    default:
      return false;
  }
}

int DropInput(int event, Fl_Window* window) {
  if (IsInput(event)) return 0;
  return Fl::handle_(event, window);
}

}  // namespace

InputBlock::InputBlock() {
  Fl::event_dispatch(DropInput);
}

InputBlock::~InputBlock() {
  HandlePendingEvents();
  Fl::event_dispatch(nullptr);
}

void HandlePendingEvents() {
  // The round trip makes the server hand over every event it holds for us so far.
  if (fl_display) XSync(fl_display, False);
  Fl::check();
}

InputReopened::InputReopened() : held_(Fl::event_dispatch()) {
  if (held_) HandlePendingEvents();
  Fl::event_dispatch(nullptr);
}

InputReopened::~InputReopened() {
  Fl::event_dispatch(held_);
}

}  // namespace pelmo::ui
