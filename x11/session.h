// What both windows, the classic grid and a board, need before they can
// start: the display, and the signals that end them turned into events of
// their loop.
#pragma once

#include <X11/Xlib.h>

// The display DISPLAY names; null, with one line on stderr, when there is
// none.
Display *openSessionDisplay();

// SIGINT, SIGTERM and SIGHUP blocked and readable from the descriptor
// returned; called before anything else runs.
int signalEvents();
