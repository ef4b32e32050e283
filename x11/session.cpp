// The display and the signals, set up one way for either window.
#include "x11/session.h"

#include <X11/Xlib-xcb.h>
#include <X11/keysym.h>
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

Display *openSessionDisplay() {
  const char *name = std::getenv("DISPLAY");
  if (name == nullptr || *name == '\0') {
    std::fprintf(stderr, "keyboard-checker: no display: DISPLAY is not set\n");
    return nullptr;
  }
  Display *display = XOpenDisplay(name);
  if (display == nullptr)
    std::fprintf(stderr, "keyboard-checker: cannot open display %s\n", name);
  return display;
}

int signalEvents() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);
  sigprocmask(SIG_BLOCK, &set, nullptr);
  return signalfd(-1, &set, SFD_CLOEXEC);
}

bool serverAnswers(Display *display, int waitMs) {
  xcb_connection_t *xcb = XGetXCBConnection(display);
  const xcb_get_input_focus_cookie_t asked = xcb_get_input_focus(xcb);
  xcb_flush(xcb);
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  for (;;) {
    void *reply = nullptr;
    xcb_generic_error_t *error = nullptr;
    if (xcb_poll_for_reply(xcb, asked.sequence, &reply, &error)) {
      const bool answered = reply != nullptr;
      std::free(reply);
      std::free(error);
      return answered;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 || xcb_connection_has_error(xcb))
      return false;
    pollfd server = {xcb_get_file_descriptor(xcb), POLLIN, 0};
    poll(&server, 1, static_cast<int>(left.count()) + 1);
  }
}

namespace {

XErrorHandler g_defaultErrorHandler = nullptr;

// What was on its way to a destroyed window fails, and that is no reason
// to die before the closing line.
int onXError(Display *display, XErrorEvent *error) {
  if (error->error_code == BadWindow || error->error_code == BadDrawable)
    return 0;
  return g_defaultErrorHandler(display, error);
}

// Xlib calls these with no context of ours; the program has one thread.
void (*g_lost)() = nullptr;

int quietIOError(Display *) { return 0; }

void onConnectionLost(Display *, void *) {
  g_lost();
  std::fprintf(stderr, "keyboard-checker: lost the connection to the "
                       "display\n");
  std::_Exit(1);
}

} // namespace

void handleConnectionFaults(Display *display, void (*lost)()) {
  g_defaultErrorHandler = XSetErrorHandler(onXError);
  g_lost = lost;
  XSetIOErrorHandler(quietIOError);
  XSetIOErrorExitHandler(display, onConnectionLost, nullptr);
}

bool signalPending(int signalFd) {
  pollfd signal = {signalFd, POLLIN, 0};
  return poll(&signal, 1, 0) > 0;
}

bool backlogWaiting(Display *display) {
  // Long enough for a server that is writing the rest, short enough that a
  // silent one adds nothing a user would notice to the close.
  constexpr int kQuietMs = 20;
  if (XEventsQueued(display, QueuedAfterReading) > 0)
    return true;
  pollfd server = {ConnectionNumber(display), POLLIN, 0};
  return poll(&server, 1, kQuietMs) > 0 &&
         XEventsQueued(display, QueuedAfterReading) > 0;
}

BacklogStep backlogStep(const XEvent &event, int xkbEventType) {
  switch (event.type) {
  case KeyPress:
  case KeyRelease:
  case FocusOut:
    return BacklogTake;
  case FocusIn:
  case MappingNotify:
    return BacklogEnd;
  default:
    return event.type == xkbEventType ? BacklogEnd : BacklogSkip;
  }
}

bool isAltF4(Display *display, const XKeyEvent &key) {
  return key.type == KeyPress && (key.state & Mod1Mask) != 0 &&
         XkbKeycodeToKeysym(display, key.keycode, 0, 0) == XK_F4;
}

bool keycodesChanged(XkbEvent &xkb) {
  if (xkb.any.xkb_type == XkbMapNotify)
    XkbRefreshKeyboardMapping(&xkb.map);
  return xkb.any.xkb_type == XkbNewKeyboardNotify ||
         xkb.any.xkb_type == XkbMapNotify;
}
