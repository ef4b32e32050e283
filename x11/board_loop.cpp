// Board mode's event loop. Each key event is one transition, taken as it
// arrives with the server's own time of it, so a bounce a few milliseconds
// long is logged as two lines with their true gap, and nothing is read
// between events: the loop sleeps until the server or a signal wakes it.
#include <X11/XKBlib.h>
#include <fontconfig/fontconfig.h>
#include <poll.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "keymodel/board_log.h"
#include "keymodel/transition_log.h"
#include "x11/board_mode.h"
#include "x11/board_repaint.h"
#include "x11/log_notice.h"
#include "x11/session.h"
#include "x11/station_input.h"

namespace {

constexpr int kCloseWaitMs = 1000;
// A station's unit takes the key by its own rules, and logs it when it
// counts.
void record(BoardChecker &c, int key, bool down, Time time) {
  const uint64_t ms = sinceStart(c, time);
  if (c.station) {
    stationRunKey(c.run, key, down, ms);
  } else {
    applyTransition(c.progress, key, down, static_cast<double>(ms));
    writeBoardTransition(c.log, c.board.keys[key].label, down, ms);
  }
  sayLogFileState(logOf(c), c.logSaid); // a failed write, or the log gone
  c.stale = true;
}

// A key the board lacks is the user's key all the same: logged under its
// own name and counted in the status line, never judged.
void recordOffBoard(BoardChecker &c, uint8_t code, bool down, Time time) {
  if (c.station) {
    if (stationRunOffBoardKey(c.run, code, down, sinceStart(c, time)) ==
        StepIgnored)
      return;
  } else {
    if (!applyOffBoardTransition(c.progress, code, down))
      return;
    writeBoardTransition(c.log, offBoardLabel(c.board, code), down,
                         sinceStart(c, time));
  }
  sayLogFileState(logOf(c), c.logSaid);
  c.stale = true;
}

bool onKey(BoardChecker &c, XKeyEvent &event) {
  const bool down = event.type == KeyPress;
  // Another client's made-up event is not the keyboard; without the focus
  // the device refuses it.
  if (event.send_event || !applyKeyEvent(c.keyboard, event.keycode, down))
    return true;
  if (isSerialKey(c)) {
    onSerialKey(c, event);
    return !isAltF4(c.display, event);
  }
  const uint8_t code = c.keyboard.scanMap.dik[event.keycode & 0xFF];
  const int key = code == 0 ? -1 : c.board.keyOfCode[code];
  // A repeat changes nothing, and neither does the release of a key that
  // went down before the window had the focus and was never seen.
  if (key >= 0 && progressOf(c).keys[key].down != down)
    record(c, key, down, event.time);
  else if (key < 0 && code != 0)
    recordOffBoard(c, code, down, event.time);
  return !isAltF4(c.display, event);
}

// Where no event tells what changed (the focus came back, the keycodes
// changed), the server's keymap does, at the time it was read.
void catchUp(BoardChecker &c) {
  KeyState state;
  if (!refreshKeyboard(c.keyboard) || !readKeyboardState(c.keyboard, state))
    return;
  const Time now = serverTime(c);
  for (size_t i = 0; i < c.board.keys.size(); ++i) {
    const bool down = isKeyDown(state, c.board.keys[i].code);
    if (down != progressOf(c).keys[i].down)
      record(c, static_cast<int>(i), down, now);
  }
  for (int code = 1; code < 256; ++code)
    if (c.board.keyOfCode[code] < 0)
      recordOffBoard(c, uint8_t(code), isKeyDown(state, uint8_t(code)), now);
}

bool onFocusIn(BoardChecker &c, const XFocusChangeEvent &focus) {
  // A FocusIn of mode NotifyGrab is our own grab starting: the focus never
  // left, and a grab in answer to it would only bring another. One that
  // comes to a window no longer mapped is the server ending our grab as
  // the window goes (perhaps destroyed, where nothing can be asked of it).
  if (focus.detail == NotifyInferior || focus.mode == NotifyGrab || !c.shown)
    return true;
  // Held first, so that no shortcut slips to the desktop meanwhile.
  if (holdKeyboard(c.hold))
    c.stale = true;
  acquireKeyboard(c.keyboard);
  catchUp(c);
  startFocusCatchUp(c.catchUp);
  return true;
}

void onCatchUpTimer(BoardChecker &c) {
  if (focusCatchUpDue(c.catchUp))
    catchUp(c);
}

void onHoldTimer(BoardChecker &c) {
  if (retryKeyboardHold(c.hold))
    c.stale = true;
}

bool onFocusOut(BoardChecker &c, const XFocusChangeEvent &focus) {
  if (isOwnGrabStart(c.hold, focus.mode))
    return true;
  // A grab by the desktop (mode NotifyGrab) takes the keys as well; a
  // click elsewhere while the keyboard is ours (NotifyWhileGrabbed) hands
  // it back.
  releaseKeyboard(c.hold);
  unacquireKeyboard(c.keyboard);
  stopFocusCatchUp(c.catchUp);
  return true;
}

bool onMapNotify(BoardChecker &c) {
  c.shown = true;
  focusWithoutManager(c.display, c.main.window);
  return true;
}

// Hidden (iconified, another desktop shown) or destroyed: the server let
// the keyboard go with the window.
bool onUnmapNotify(BoardChecker &c) {
  c.shown = false;
  forgetKeyboardHold(c.hold);
  return true;
}

// New keycodes: the board's places are read under them from now on.
bool onKeycodesChanged(BoardChecker &c) {
  buildBoardScanMap(c.display, c.board, c.keyboard.scanMap);
  catchUp(c);
  return true;
}

bool onExpose(BoardChecker &c, const XExposeEvent &expose) {
  if (expose.count == 0)
    c.exposed = true;
  return true;
}

bool onClientMessage(BoardChecker &c, const XClientMessageEvent &message) {
  return !isCloseRequest(c.main, message);
}

bool onDestroyNotify(BoardChecker &c, const XDestroyWindowEvent &destroyed) {
  return !forgetDestroyedWindow(c.main, destroyed);
}

bool onMappingNotify(BoardChecker &c, XMappingEvent &mapping) {
  XRefreshKeyboardMapping(&mapping);
  return mapping.request != MappingKeyboard || onKeycodesChanged(c);
}

bool onXkbEvent(BoardChecker &c, XkbEvent &xkb) {
  return !keycodesChanged(xkb) || onKeycodesChanged(c);
}

bool onButtonPress(BoardChecker &c, const XButtonEvent &button) {
  if (c.station)
    onStationClick(c, button);
  return true;
}

bool onGenericEvent(BoardChecker &c, XEvent &event) {
  if (isDeviceChange(c, event))
    onDeviceChange(c, event);
  return true;
}

// False once the window is to close.
bool dispatch(BoardChecker &c, XEvent &event) {
  switch (event.type) {
  case KeyPress:
  case KeyRelease:
    return onKey(c, event.xkey);
  case FocusIn:
    return onFocusIn(c, event.xfocus);
  case FocusOut:
    return onFocusOut(c, event.xfocus);
  case Expose:
    return onExpose(c, event.xexpose);
  case ClientMessage:
    return onClientMessage(c, event.xclient);
  case MapNotify:
    return onMapNotify(c);
  case UnmapNotify:
    return onUnmapNotify(c);
  case MappingNotify:
    return onMappingNotify(c, event.xmapping);
  case DestroyNotify:
    return onDestroyNotify(c, event.xdestroywindow);
  case ButtonPress:
    return onButtonPress(c, event.xbutton);
  case GenericEvent:
    return onGenericEvent(c, event);
  default:
    if (event.type == c.keyboard.xkbEventType)
      return onXkbEvent(c, reinterpret_cast<XkbEvent &>(event));
    return true;
  }
}

bool drainEventsOf(BoardChecker &c) {
  return drainEvents(
      c.display, c.signalFd, c.keyboard.xkbEventType,
      [&](XEvent &event) { return dispatch(c, event); }, [&] { paintSoon(c); });
}

// The closing line first, asking nothing of the server; the window is
// taken down only if the server still answers.
int closeBoardChecker(BoardChecker &c) {
  const int status = closeBoardRun(c) ? 0 : 1;
  if (!serverAnswers(c.display, kCloseWaitMs))
    std::_Exit(status);
  releaseKeyboard(c.hold);
  destroyBoardCanvas(c.display, c.canvas);
  closeBoardFonts(c.fonts);
  if (c.main.window != None)
    XDestroyWindow(c.display, c.main.window);
  XCloseDisplay(c.display);
  FcFini();
  return status;
}

} // namespace

int runBoardChecker(BoardChecker &c) {
  pollfd fds[5] = {{ConnectionNumber(c.display), POLLIN, 0},
                   {c.signalFd, POLLIN, 0},
                   {c.catchUp.fd, POLLIN, 0},
                   {c.paintFd, POLLIN, 0},
                   {c.hold.fd, POLLIN, 0}};
  for (;;) {
    if (!drainEventsOf(c))
      break;
    if (poll(fds, 5, -1) < 0)
      continue; // EINTR: the signals that matter come through signalFd
    if (fds[1].revents & POLLIN) {
      takeSignalBacklog(c.display, c.keyboard.xkbEventType,
                        [&](XEvent &event) { return dispatch(c, event); });
      break;
    }
    if (fds[2].revents & POLLIN)
      onCatchUpTimer(c);
    if (fds[4].revents & POLLIN)
      onHoldTimer(c);
    if (fds[3].revents & POLLIN)
      onPaintTimer(c);
    paintSoon(c);
  }
  return closeBoardChecker(c);
}
