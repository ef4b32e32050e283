// Board mode: a window of the user's own keyboard that fills in as each of
// its keys is tested, and a log whose every line carries the time of its
// change. Chosen by --board alone; the classic window knows nothing of it.
#pragma once

#include <X11/Xlib.h>

#include <cstdio>
#include <string>

#include "keymodel/board.h"
#include "keymodel/board_plan.h"
#include "keymodel/board_progress.h"
#include "keymodel/log_file.h"
#include "keymodel/station_run.h"
#include "x11/board_draw.h"
#include "x11/focus_catch_up.h"
#include "x11/grid_font.h"
#include "x11/keyboard_device.h"
#include "x11/keyboard_hold.h"
#include "x11/main_window.h"

// Everything one board run holds; it stays where it was made, since the
// progress and the plan point into the board.
struct BoardChecker {
  Display *display;
  MainWindow main;
  KeyboardDevice keyboard; // the focus gate and the board's scan map
  KeyboardHold hold;       // the keyboard grabbed while the focus is ours
  Board board;
  BoardProgress progress;
  BoardPlan plan;
  LogFile log;
  bool logSaid;         // the end of the log has been reported
  std::string logPlace; // where the log is, for the window to say
  BoardFonts fonts;     // normal and small, Japanese and Western
  BoardCanvas canvas;
  Atom clock;           // a property of the window, touched to read the time
  Time startTime;       // the server's time at start: the log's zero
  bool stale;           // the progress changed since the last drawing
  bool exposed;         // the window lost what it showed
  bool shown;           // mapped: only then can the focus be the window's
  int signalFd;         // SIGINT, SIGTERM, SIGHUP
  FocusCatchUp catchUp; // the keymap read again after a focus gain
  int paintFd;          // the drawing a millisecond after a change
  bool paintArmed;
  // A station (--station): the run's units, log and results file take
  // the place of progress and log; station_input.h.
  bool station;
  StationRun run;
  int xiOpcode; // XInput 2's, for the keyboards coming and going; -1
};

// The progress on screen and the log written: the board run's, or the
// station's unit under test and its log.
inline BoardProgress &progressOf(BoardChecker &c) {
  return c.station ? c.run.station.unit.progress : c.progress;
}
inline LogFile &logOf(BoardChecker &c) { return c.station ? c.run.log : c.log; }

// The whole run for a command line with --board: status 2 for a bad board
// or option (one line on stderr, no window, no log), 1 without a display,
// else 0 once the window is closed.
int runBoardMode(int argc, char **argv);

// The server's time now, in the units of its events' times.
Time serverTime(BoardChecker &checker);

// An event's time as the log's: ms since the window started. The server's
// clock is 32 bits of milliseconds: the difference stays right across its
// wrap.
inline uint64_t sinceStart(const BoardChecker &c, Time time) {
  return static_cast<uint32_t>(time - c.startTime);
}

// The end of the run's files: the log's closing line, and a station's row
// of a unit waiting for its serial; what fell short said on stderr. True
// when everything was written whole.
bool closeBoardRun(BoardChecker &checker);

// Sleeps on the X connection and the signals until the window is closed,
// then ends the log with the board's closing line; returns the exit status.
int runBoardChecker(BoardChecker &checker);
