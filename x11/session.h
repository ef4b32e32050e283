// What both windows, the classic grid and a board, need before they can
// start: the display, and the signals that end them turned into events of
// their loop; and at the end, whether the server still answers.
#pragma once

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

#include <chrono>

// The display DISPLAY names; null, with one line on stderr, when there is
// none.
Display *openSessionDisplay();

// SIGINT, SIGTERM and SIGHUP blocked and readable from the descriptor
// returned; called before anything else runs.
int signalEvents();

// The connection's faults, handled once for either window. Another client
// may destroy the window at any moment: errors of requests already on
// their way to it are ignored from then on; any other is as fatal as Xlib
// makes it. A lost connection calls lost(), which ends the log, and then
// ends the program with one line on stderr and status 1.
void handleConnectionFaults(Display *display, void (*lost)());

// One request, answered within waitMs or not at all, without blocking: a
// server that stopped or is busy must not hold a closing window.
bool serverAnswers(Display *display, int waitMs);

// Without a window manager nobody turns Alt+F4 into a close request, so
// the window does it, as Windows' default window procedure would.
bool isAltF4(Display *display, const XKeyEvent &key);

// XKB's word that the keycodes changed (a new keyboard, a new map), after
// Xlib's own copy of the keymap, which tells F4 for Alt+F4, is refreshed.
bool keycodesChanged(XkbEvent &xkb);

// True when SIGINT, SIGTERM or SIGHUP waits on the descriptor.
bool signalPending(int signalFd);

// What a signal's backlog may take without the server: key events and focus
// losses. A focus gain or new keycodes would need the server, which may no
// longer answer, so the backlog ends there; anything else is passed over.
enum BacklogStep { BacklogTake, BacklogSkip, BacklogEnd };
BacklogStep backlogStep(const XEvent &event, int xkbEventType);

// How long a signal's close spends on the events already received; with
// the wait for the server after the closing line, that line still comes
// within 3 s.
constexpr int kBacklogMs = 1500;

// True while events already received wait to be read. A backlog larger
// than the connection's buffer reaches us in parts as we read, so a
// moment's quiet is waited out before the backlog counts as read.
bool backlogWaiting(Display *display);

// A signal ends the window, but the key events the server has already sent
// are still the user's keys: each one already received goes to dispatch,
// without drawing, until none is left, dispatch says stop, or kBacklogMs
// runs out. Reading asks nothing of the server.
template <typename Dispatch>
void takeSignalBacklog(Display *display, int xkbEventType, Dispatch dispatch) {
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(kBacklogMs);
  while (backlogWaiting(display)) {
    for (int queued = XQLength(display); queued > 0; --queued) {
      XEvent event;
      XNextEvent(display, &event);
      const BacklogStep step = backlogStep(event, xkbEventType);
      if (step == BacklogEnd || (step == BacklogTake && !dispatch(event)))
        return;
    }
    if (std::chrono::steady_clock::now() >= deadline)
      return;
  }
}

// The events in the batches the connection delivers them, afterBatch()
// once after each (the drawing); a signal stops the reading at the next
// batch, and only what was already received is logged before the close.
// False once the window is to close.
template <typename Dispatch, typename AfterBatch>
bool drainEvents(Display *display, int signalFd, int xkbEventType,
                 Dispatch dispatch, AfterBatch afterBatch) {
  while (XPending(display) > 0) {
    if (signalPending(signalFd)) {
      takeSignalBacklog(display, xkbEventType, dispatch);
      return false;
    }
    for (int queued = XQLength(display); queued > 0; --queued) {
      XEvent event;
      XNextEvent(display, &event);
      if (!dispatch(event))
        return false;
    }
    afterBatch();
  }
  return true;
}
