// The event loop: the X connection, the timers and the signals, in one poll
// that sleeps until one of them has something. Each X event goes to one
// short handler. Key events are applied and logged one by one as they
// come; the window is drawn a millisecond after a change, however many
// events came in between, then again 10 ms after it, as on Windows.
#include <X11/XKBlib.h>
#include <poll.h>
#include <sys/signalfd.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <cstdlib>

#include "x11/checker.h"
#include "x11/key_input.h"
#include "x11/main_window.h"
#include "x11/session.h"

namespace {

constexpr long kFirstRepaintNs = 1000 * 1000;
constexpr long kRepaintDelayNs = 10 * 1000 * 1000;
// How long the close waits for the server before leaving it be.
constexpr int kCloseWaitMs = 1000;

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

// Drawn 1 ms after a change, not at once: the drawing (ours and the
// server's) would otherwise take the CPU just when whoever reads the log
// wakes up for the line, and a burst of thousands of events within that
// millisecond is drawn once. The second drawing, 10 ms after the change,
// is Windows' follow-up.
void repaintIfChanged(Checker &c) {
  if (!c.repaintPending)
    return;
  c.repaintPending = false;
  if (c.repaintsDue == 2)
    return; // the first drawing is still to come and will show this too
  c.repaintsDue = 2;
  const itimerspec soon = {{0, kRepaintDelayNs - kFirstRepaintNs},
                           {0, kFirstRepaintNs}};
  timerfd_settime(c.timerFd, 0, &soon, nullptr);
}

bool onKey(Checker &c, const XKeyEvent &key) {
  // Another client's made-up event is not the keyboard.
  if (!key.send_event)
    takeKeyEvent(c, key.keycode, key.type == KeyPress);
  return !isAltF4(c.display, key);
}

bool onFocusIn(Checker &c, const XFocusChangeEvent &focus) {
  if (focus.detail == NotifyInferior)
    return true;
  acquireKeyboard(c.keyboard);
  // Catches up with keys already down when the focus came.
  catchUpOnFocus(c);
  return true;
}

bool onFocusOut(Checker &c) {
  // A grab by the desktop (mode NotifyGrab) takes the keys as well.
  unacquireKeyboard(c.keyboard);
  stopFocusCatchUp(c.catchUp);
  return true;
}

bool onMapNotify(Checker &c) {
  focusWithoutManager(c.display, c.main.window);
  return true;
}

bool onExpose(Checker &c, const XExposeEvent &expose) {
  if (expose.count == 0)
    paint(c);
  return true;
}

bool onClientMessage(Checker &c, const XClientMessageEvent &message) {
  return !isCloseRequest(c.main, message);
}

bool onDestroyNotify(Checker &c, const XDestroyWindowEvent &destroyed) {
  return !forgetDestroyedWindow(c.main, destroyed);
}

// New keycodes: the events after this one speak them, and what is held
// now is read under them.
void onKeycodesChanged(Checker &c) {
  rebuildScanMap(c.keyboard);
  takeServerKeymap(c);
}

bool onMappingNotify(Checker &c, XMappingEvent &mapping) {
  XRefreshKeyboardMapping(&mapping);
  if (mapping.request == MappingKeyboard)
    onKeycodesChanged(c);
  return true;
}

bool onXkbEvent(Checker &c, XkbEvent &xkb) {
  if (keycodesChanged(xkb))
    onKeycodesChanged(c);
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
  case MapNotify:
    return onMapNotify(c);
  case MappingNotify:
    return onMappingNotify(c, event.xmapping);
  case DestroyNotify:
    return onDestroyNotify(c, event.xdestroywindow);
  default:
    if (event.type == c.keyboard.xkbEventType)
      return onXkbEvent(c, reinterpret_cast<XkbEvent &>(event));
    return true;
  }
}

bool onTimer(Checker &c) {
  uint64_t expirations;
  if (read(c.timerFd, &expirations, sizeof expirations) <= 0)
    return true;
  paint(c);
  if (--c.repaintsDue <= 0) {
    c.repaintsDue = 0;
    const itimerspec never = {};
    timerfd_settime(c.timerFd, 0, &never, nullptr);
  }
  return true;
}

bool drainEventsOf(Checker &c) {
  return drainEvents(
      c.display, c.signalFd, c.keyboard.xkbEventType,
      [&](XEvent &event) { return dispatch(c, event); },
      [&] { repaintIfChanged(c); });
}

// The one close sequence, whatever asked for it. The closing line comes
// first and asks nothing of the server: a server that no longer answers
// (stopped, or busy) must not hold it back. The window is then taken down
// only if the server answers in time; otherwise the process ends and the
// system closes the connection.
int closeChecker(Checker &c) {
  closeTransitionLog(c.log, c.layout);
  sayLogState(c);
  const int status = logStoppedShort(c) ? 1 : 0;
  if (!serverAnswers(c.display, kCloseWaitMs))
    std::_Exit(status);
  destroyGridCanvas(c.display, c.canvas);
  closeGridFont(c.display, c.font);
  if (c.main.window != None)
    XDestroyWindow(c.display, c.main.window);
  XCloseDisplay(c.display); // closes Xft's fonts too
  // fontconfig keeps its parsed configuration until told otherwise.
  FcFini();
  return status;
}

} // namespace

int runChecker(Checker &c) {
  pollfd fds[4] = {{ConnectionNumber(c.display), POLLIN, 0},
                   {c.timerFd, POLLIN, 0},
                   {c.signalFd, POLLIN, 0},
                   {c.catchUp.fd, POLLIN, 0}};
  for (;;) {
    if (!drainEventsOf(c))
      break;
    if (poll(fds, 4, -1) < 0)
      continue; // EINTR: the signals that matter come through signalFd
    if (fds[2].revents & POLLIN) {
      takeSignalBacklog(c.display, c.keyboard.xkbEventType,
                        [&](XEvent &event) { return dispatch(c, event); });
      break;
    }
    if (fds[3].revents & POLLIN)
      onFocusCatchUpTimer(c);
    if (fds[1].revents & POLLIN)
      onTimer(c);
    repaintIfChanged(c);
  }
  return closeChecker(c);
}
