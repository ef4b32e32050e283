// The event loop: the X connection, the repaint timer and the signals, in
// one poll that sleeps until one of them has something. Each X event goes
// to one short handler. A key event is the keyboard's change signal: the
// reader takes a snapshot, logs what changed since the last good one and
// repaints at once and 10 ms later, as on Windows.
#include <X11/XKBlib.h>
#include <X11/keysym.h>
#include <poll.h>
#include <sys/signalfd.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include "x11/checker.h"

namespace {

constexpr long kRepaintDelayNs = 10 * 1000 * 1000;

void paint(Checker &c) {
  // Unfocused, a repaint shows nothing new: keys typed elsewhere stay out.
  KeyState state;
  if (!readKeyboardState(c.keyboard, state))
    return;
  GridPlan plan;
  planGrid(plan, c.layout, state, c.font.metrics);
  noteLogState(c, plan);
  drawGridPlan(c.display, c.main.window, c.canvas, c.font, plan);
  XFlush(c.display);
}

void repaintNowAndSoon(Checker &c) {
  paint(c);
  const itimerspec soon = {{0, 0}, {0, kRepaintDelayNs}};
  timerfd_settime(c.timerFd, 0, &soon, nullptr);
}

// A good reading is logged and repainted, as the keyboard's change signal
// is on Windows.
void runPass(Checker &c) {
  const auto read = [&](KeyState &state) {
    return readKeyboardState(c.keyboard, state);
  };
  if (!takeReading(c.snapshots, c.log, c.layout, read))
    return;
  sayLogState(c);
  repaintNowAndSoon(c);
}

// Without a window manager nobody turns Alt+F4 into a close request, so
// the window does it, as Windows' default window procedure would.
bool isAltF4(Checker &c, const XKeyEvent &key) {
  return key.type == KeyPress && (key.state & Mod1Mask) != 0 &&
         XkbKeycodeToKeysym(c.display, key.keycode, 0, 0) == XK_F4;
}

bool onKey(Checker &c, const XKeyEvent &key) {
  runPass(c);
  return !isAltF4(c, key);
}

bool onFocusIn(Checker &c, const XFocusChangeEvent &focus) {
  if (focus.detail == NotifyInferior)
    return true;
  acquireKeyboard(c.keyboard);
  // Catches up with keys already down when the focus came, and repaints.
  runPass(c);
  return true;
}

bool onFocusOut(Checker &c) {
  // A grab by the desktop (mode NotifyGrab) takes the keys as well.
  unacquireKeyboard(c.keyboard);
  return true;
}

bool onExpose(Checker &c, const XExposeEvent &expose) {
  if (expose.count == 0)
    paint(c);
  return true;
}

bool onClientMessage(Checker &c, const XClientMessageEvent &message) {
  return !(message.format == 32 &&
           static_cast<Atom>(message.data.l[0]) == c.main.deleteWindow);
}

// Another client may destroy the window (xdotool windowclose, xkill's
// kin): that is a close, with nothing left to draw on.
bool onDestroyNotify(Checker &c, const XDestroyWindowEvent &destroyed) {
  if (destroyed.window != c.main.window)
    return true;
  c.main.window = None;
  return false;
}

bool onMappingNotify(XMappingEvent &mapping) {
  XRefreshKeyboardMapping(&mapping);
  return true;
}

// False once the window is to close.
bool dispatch(Checker &c, XEvent &event) {
  switch (event.type) {
  case KeyPress:
  case KeyRelease:
    return onKey(c, event.xkey);
  case FocusIn:
    return onFocusIn(c, event.xfocus);
  case FocusOut:
    return onFocusOut(c);
  case Expose:
    return onExpose(c, event.xexpose);
  case ClientMessage:
    return onClientMessage(c, event.xclient);
  case MappingNotify:
    return onMappingNotify(event.xmapping);
  case DestroyNotify:
    return onDestroyNotify(c, event.xdestroywindow);
  default:
    return true;
  }
}

bool onTimer(Checker &c) {
  uint64_t expirations;
  if (read(c.timerFd, &expirations, sizeof expirations) > 0)
    paint(c);
  return true;
}

bool drainEvents(Checker &c) {
  while (XPending(c.display) > 0) {
    XEvent event;
    XNextEvent(c.display, &event);
    if (!dispatch(c, event))
      return false;
  }
  return true;
}

// The one close sequence, whatever asked for it: a last pass, then the
// closing line, last in the log.
int closeChecker(Checker &c) {
  runPass(c);
  closeTransitionLog(c.log, c.layout);
  sayLogState(c);
  destroyGridCanvas(c.display, c.canvas);
  closeGridFont(c.display, c.font);
  if (c.main.window != None)
    XDestroyWindow(c.display, c.main.window);
  XCloseDisplay(c.display); // closes Xft's fonts too
  // fontconfig keeps its parsed configuration until told otherwise.
  FcFini();
  return logStoppedShort(c) ? 1 : 0;
}

} // namespace

int runChecker(Checker &c) {
  pollfd fds[3] = {{ConnectionNumber(c.display), POLLIN, 0},
                   {c.timerFd, POLLIN, 0},
                   {c.signalFd, POLLIN, 0}};
  for (;;) {
    if (!drainEvents(c))
      break;
    if (poll(fds, 3, -1) < 0)
      continue; // EINTR: the signals that matter come through signalFd
    if (fds[1].revents & POLLIN)
      onTimer(c);
    if (fds[2].revents & POLLIN)
      break;
  }
  return closeChecker(c);
}
