// Everything one running checker holds, in one plain struct handed to every
// step: the program runs on one thread, so none of it is process-wide.
#pragma once

#include <X11/Xlib.h>

#include <cstdio>

#include "keymodel/layout.h"
#include "keymodel/transition_log.h"
#include "x11/focus_catch_up.h"
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
  LogFile log;
  bool logSaid; // the end of the log has been reported
  GridFont font;
  GridCanvas canvas;
  int timerFd;          // the repaints after a change
  int repaintsDue;      // how many of them are still to come
  int signalFd;         // SIGINT, SIGTERM, SIGHUP
  FocusCatchUp catchUp; // the server's keymap read again after a focus gain
  bool repaintPending;  // the state changed since the window was drawn
};

// Blocks on the X connection, the timer and the signals until the window
// is closed, then ends the log with its closing line. Returns the exit
// status: 1 when the log stopped short.
int runChecker(Checker &checker);

// Says once, on stderr, why the log is not being written; the window says
// it in its count line from then on.
void sayLogState(Checker &checker);
// A write failed or the file went from its name: the log is short.
bool logStoppedShort(const Checker &checker);
// Adds to the count line that keys are not being logged.
void noteLogState(const Checker &checker, GridPlan &plan);
