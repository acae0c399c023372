#pragma once

// Plays a file manager's part in a drag and drop (the XDND protocol) onto one window:
// enter, position over a point, drop, then hand over the uri-list when asked.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <string>
#include <thread>

namespace pelmo::testing {

// Drops uriList on window at (x, y) in root coordinates. False when the window does not
// take part or nothing came of it within a few seconds.
inline bool DropUriList(const char* displayName, Window target, int x, int y,
                        const std::string& uriList) {
  Display* display = XOpenDisplay(displayName);
  if (!display) return false;
  const Window source =
      XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
  auto atom = [display](const char* name) { return XInternAtom(display, name, False); };
  const Atom selection = atom("XdndSelection");
  const Atom uriListType = atom("text/uri-list");
  XSetSelectionOwner(display, selection, source, CurrentTime);

  auto send = [&](const char* message, long l1, long l2, long l3, long l4) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = target;
    event.xclient.message_type = atom(message);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(source);
    event.xclient.data.l[1] = l1;
    event.xclient.data.l[2] = l2;
    event.xclient.data.l[3] = l3;
    event.xclient.data.l[4] = l4;
    XSendEvent(display, target, False, NoEventMask, &event);
    XFlush(display);
  };
  send("XdndEnter", 5L << 24, static_cast<long>(uriListType), 0, 0);
  send("XdndPosition", 0, (static_cast<long>(x) << 16) | y, CurrentTime,
       static_cast<long>(atom("XdndActionCopy")));

  bool dropped = false;
  bool finished = false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!finished && std::chrono::steady_clock::now() < deadline) {
    if (!XPending(display)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      continue;
    }
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == ClientMessage && event.xclient.message_type == atom("XdndStatus")) {
      if (!dropped && (event.xclient.data.l[1] & 1)) {
        send("XdndDrop", 0, CurrentTime, 0, 0);
        dropped = true;
      }
    } else if (event.type == ClientMessage && event.xclient.message_type == atom("XdndFinished")) {
      finished = true;
    } else if (event.type == SelectionRequest) {
      const XSelectionRequestEvent& request = event.xselectionrequest;
      XChangeProperty(display, request.requestor, request.property, request.target, 8,
                      PropModeReplace, reinterpret_cast<const unsigned char*>(uriList.data()),
                      static_cast<int>(uriList.size()));
      XEvent reply{};
      reply.xselection.type = SelectionNotify;
      reply.xselection.requestor = request.requestor;
      reply.xselection.selection = request.selection;
      reply.xselection.target = request.target;
      reply.xselection.property = request.property;
      reply.xselection.time = request.time;
      XSendEvent(display, request.requestor, False, NoEventMask, &reply);
      XFlush(display);
    }
  }
  XDestroyWindow(display, source);
  XCloseDisplay(display);
  return finished;
}

}  // namespace pelmo::testing
