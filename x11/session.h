// What both windows, the classic grid and a board, need before they can
// start: the display, and the signals that end them turned into events of
// their loop; and at the end, whether the server still answers.
#pragma once

#include <X11/Xlib.h>

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
