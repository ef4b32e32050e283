// Board mode's start: the board and the options first, so a bad one is
// refused before anything is opened or written; then the display, the
// window sized from the board and the font, the clock, the log and the
// keyboard read through the board's own scan map.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <fontconfig/fontconfig.h>
#include <sys/timerfd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "keymodel/board_log.h"
#include "keymodel/transition_log.h"
#include "x11/board_mode.h"
#include "x11/board_options.h"
#include "x11/log_notice.h"
#include "x11/session.h"

namespace {

// For the display-lost handler, which Xlib calls with no context of ours.
BoardChecker *g_lost = nullptr;

void onDisplayLost() {
  closeBoardLog(g_lost->log, g_lost->board);
  sayLogFileState(g_lost->log, g_lost->logSaid);
}

Bool isClockChange(Display *, XEvent *event, XPointer checker) {
  const auto *c = reinterpret_cast<const BoardChecker *>(checker);
  return event->type == PropertyNotify &&
         event->xproperty.window == c->main.window &&
         event->xproperty.atom == c->clock;
}

bool setUpWindow(BoardChecker &c) {
  if (!openGridFont(c.display, DefaultScreen(c.display), c.font)) {
    std::fprintf(stderr, "keyboard-checker: no font found\n");
    return false;
  }
  openBoardFonts(c.display, c.font, c.fonts);
  layoutBoardPlan(c.plan, c.board, c.font.metrics, measureBoardText, &c.fonts);
  if (!createMainWindow(c.display, c.plan.clientWidth, c.plan.clientHeight,
                        c.main) ||
      !createBoardCanvas(c.display, c.main.window, c.plan.clientWidth,
                         c.plan.clientHeight, c.canvas))
    return false;
  // Exposed parts show the board's plain background until drawn over.
  XSetWindowBackground(c.display, c.main.window, c.canvas.colors[0].pixel);
  XWindowAttributes attributes;
  XGetWindowAttributes(c.display, c.main.window, &attributes);
  XSelectInput(c.display, c.main.window,
               attributes.your_event_mask | PropertyChangeMask);
  c.clock = XInternAtom(c.display, "_KEYBOARD_CHECKER_CLOCK", False);
  return true;
}

void openLog(BoardChecker &c, double chatterMs) {
  openBoardLog(c.log, c.board, chatterMs);
  sayLogFileState(c.log, c.logSaid);
}

} // namespace

Time serverTime(BoardChecker &c) {
  XChangeProperty(c.display, c.main.window, c.clock, XA_STRING, 8,
                  PropModeAppend, nullptr, 0);
  XEvent event;
  XIfEvent(c.display, &event, isClockChange, reinterpret_cast<XPointer>(&c));
  return event.xproperty.time;
}

int runBoardMode(int argc, char **argv) {
  static BoardChecker c; // large, and it must not move
  BoardOptions options;
  std::string error;
  if (!parseBoardOptions(argc, argv, options, error) ||
      !loadBoard(options.board, c.board, error)) {
    std::fprintf(stderr, "keyboard-checker: %s\n", error.c_str());
    return 2;
  }
  c.signalFd = signalEvents();
  c.display = openSessionDisplay();
  if (c.display == nullptr)
    return 1;
  g_lost = &c;
  handleConnectionFaults(c.display, onDisplayLost);
  if (!setUpWindow(c))
    return 1;
  c.startTime = serverTime(c);
  openFocusCatchUp(c.catchUp);
  c.paintFd = timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC);
  openLog(c, options.chatterMs);
  setUpKeyboard(c.keyboard, c.display, c.main.window);
  buildBoardScanMap(c.display, c.board, c.keyboard.scanMap);
  startBoardProgress(c.progress, c.board, options.chatterMs);
  c.stale = true;
  // Held keys repeat as presses only: a repeat must not look like a release.
  XkbSetDetectableAutoRepeat(c.display, True, nullptr);
  XMapWindow(c.display, c.main.window);
  XFlush(c.display);
  return runBoardChecker(c);
}
