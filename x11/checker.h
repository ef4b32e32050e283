// Everything one running checker holds, in one plain struct handed to every
// step: the program runs on one thread, so none of it is process-wide.
#pragma once

#include <X11/Xlib.h>

#include <cstdio>

#include "keymodel/layout.h"
#include "keymodel/transition_log.h"
#include "x11/grid_draw.h"
#include "x11/grid_font.h"
#include "x11/keyboard_device.h"
#include "x11/main_window.h"

struct Checker {
  Display *display;
  MainWindow main;
  KeyboardDevice keyboard;
  KeyboardLayout layout; // picks the main block and the closing line
  SnapshotPair snapshots;
  FILE *log; // null when it could not be created
  GridFont font;
  GridCanvas canvas;
  int timerFd;         // the repaints after a change
  int repaintsDue;     // how many of them are still to come
  int signalFd;        // SIGINT, SIGTERM, SIGHUP
  int catchUpFd;       // the server's keymap read again after a focus gain
  int catchUpStep;     // how many of those reads were taken
  bool repaintPending; // the state changed since the window was drawn
  Time lastKeyTime;    // the server's time of the last key event taken, ms
};

// Blocks on the X connection, the timer and the signals until the window
// is closed, then ends the log with its closing line. Returns the exit
// status.
int runChecker(Checker &checker);
