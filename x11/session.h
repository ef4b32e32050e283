// What both windows, the classic grid and a board, need before they can
// start: the display, and the signals that end them turned into events of
// their loop; and at the end, whether the server still answers.
#pragma once

#include <X11/Xlib.h>

#include <chrono>

// The display DISPLAY names; null, with one line on stderr, when there is
// none.
Display *openSessionDisplay();

// SIGINT, SIGTERM and SIGHUP blocked and readable from the descriptor
// returned; called before anything else runs.
int signalEvents();

// Another client may destroy the window at any moment: errors of requests
// already on their way to it are ignored from then on; any other is as
// fatal as Xlib makes it.
void ignoreLostWindowErrors();

// One request, answered within waitMs or not at all, without blocking: a
// server that stopped or is busy must not hold a closing window.
bool serverAnswers(Display *display, int waitMs);

// A signal ends the window, but the key events the server has already sent
// are still the user's keys. take(event) gets each event already received,
// without drawing, until none is left, take says stop, or limitMs runs out:
// a backlog's lines are kept and the closing line still comes in time.
// Reading asks nothing of the server, so a silent one cannot hold it.
template <typename Take>
void takeBacklog(Display *display, int limitMs, Take take) {
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
  while (XEventsQueued(display, QueuedAfterReading) > 0) {
    for (int queued = XQLength(display); queued > 0; --queued) {
      XEvent event;
      XNextEvent(display, &event);
      if (!take(event))
        return;
    }
    if (std::chrono::steady_clock::now() >= deadline)
      return;
  }
}
