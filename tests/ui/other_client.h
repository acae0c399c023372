#pragma once

// Plays the other X clients of a desktop in the desktop tests: the window manager's
// close request, and a second program with a window of its own.
#include <X11/Xlib.h>

#include <chrono>
#include <thread>

namespace pelmo::testing {

// What a window manager sends when the close box in a window's frame is clicked.
inline void RequestClose(Window target) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = target;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, target, False, NoEventMask, &event);
  XCloseDisplay(display);
}

// Another program: a window in the top left corner of the screen that has the keyboard
// focus once it is shown.
class OtherProgram {
 public:
  OtherProgram() : display_(XOpenDisplay(nullptr)) {
    if (!display_) return;
    window_ =
        XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 200, 100, 0, 0, 0xFFFFFF);
    XSelectInput(display_, window_, KeyPressMask | ButtonPressMask | StructureNotifyMask);
    XMapWindow(display_, window_);
    XEvent event;
    do XNextEvent(display_, &event);
    while (event.type != MapNotify);
    XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
    XSync(display_, False);
  }
  ~OtherProgram() {
    if (display_) XCloseDisplay(display_);
  }
  OtherProgram(const OtherProgram&) = delete;
  OtherProgram& operator=(const OtherProgram&) = delete;

  // Whether an event of this type (KeyPress, ButtonPress) reached the window within a
  // few seconds.
  bool received(int type) {
    if (!display_) return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
      XEvent event;
      if (XCheckTypedWindowEvent(display_, window_, type, &event)) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }

 private:
  Display* display_;
  Window window_ = 0;
};

}  // namespace pelmo::testing
