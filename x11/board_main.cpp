// Board mode's start: the board and the options first, so a bad one is
// refused before anything is opened or written; then the display, the
// window sized from the board and the font, the clock, the log and the
// keyboard read through the board's own scan map.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <fontconfig/fontconfig.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "keymodel/board_log.h"
#include "keymodel/text_rules.h"
#include "keymodel/transition_log.h"
#include "x11/board_legends.h"
#include "x11/board_mode.h"
#include "x11/board_options.h"
#include "x11/log_notice.h"
#include "x11/session.h"
#include "x11/station_input.h"

namespace {

// For the display-lost handler, which Xlib calls with no context of ours.
BoardChecker *g_lost = nullptr;

void onDisplayLost() { closeBoardRun(*g_lost); }

Bool isClockChange(Display *, XEvent *event, XPointer checker) {
  const auto *c = reinterpret_cast<const BoardChecker *>(checker);
  return event->type == PropertyNotify &&
         event->xproperty.window == c->main.window &&
         event->xproperty.atom == c->clock;
}

// The room a window has on this screen: the work area the window manager
// leaves (without panels), else the whole screen, less what its frame
// takes; the frame is only known once mapped, so a title bar's worth.
void screenRoom(Display *display, int &width, int &height) {
  const int screen = DefaultScreen(display);
  width = DisplayWidth(display, screen);
  height = DisplayHeight(display, screen);
  Atom type;
  int format;
  unsigned long count = 0, after = 0;
  unsigned char *data = nullptr;
  if (XGetWindowProperty(display, RootWindow(display, screen),
                         XInternAtom(display, "_NET_WORKAREA", False), 0, 4,
                         False, XA_CARDINAL, &type, &format, &count, &after,
                         &data) == Success &&
      data != nullptr && format == 32 && count >= 4) {
    const long *area = reinterpret_cast<const long *>(data);
    width = std::min(width, int(area[2]));
    height = std::min(height, int(area[3]));
  }
  if (data != nullptr)
    XFree(data);
  constexpr int kFrameWidth = 16, kFrameHeight = 48;
  width -= kFrameWidth;
  height -= kFrameHeight;
}

// The largest fonts at which the board fits the screen: 0, or the exit
// status. A board that fits at none is refused as a bad board is (2);
// no font at all is the system's lack, as in the classic window (1).
// Either way before any log is opened.
int fitBoard(BoardChecker &c, const std::vector<std::string> &legends,
             bool station) {
  c.fonts.display = c.display;
  c.fonts.screen = DefaultScreen(c.display);
  int width, height;
  screenRoom(c.display, width, height);
  if (fitBoardPlan(c.plan, c.board, legends, width, height, openBoardFonts,
                   measureBoardText, &c.fonts, station))
    return 0;
  if (c.fonts.japanese[FaceNormal].font == nullptr) {
    std::fprintf(stderr, "keyboard-checker: no font found\n");
    return 1;
  }
  std::fprintf(stderr,
               "keyboard-checker: %s: the board does not fit a %d x %d "
               "screen even at the smallest font\n",
               displayText(c.board.name).c_str(), width, height);
  return 2;
}

bool setUpWindow(BoardChecker &c) {
  if (!createMainWindow(c.display, c.plan.clientWidth, c.plan.clientHeight,
                        c.main) ||
      !createBoardCanvas(c.display, c.main.window, c.plan.clientWidth,
                         c.plan.clientHeight, c.canvas))
    return false;
  // Exposed parts show the board's plain background until drawn over.
  XSetWindowBackground(c.display, c.main.window, c.canvas.colors[0].pixel);
  XWindowAttributes attributes;
  XGetWindowAttributes(c.display, c.main.window, &attributes);
  // A station's button takes clicks; the pointer is never grabbed.
  XSelectInput(c.display, c.main.window,
               attributes.your_event_mask | PropertyChangeMask |
                   (c.station ? ButtonPressMask : 0));
  c.clock = XInternAtom(c.display, "_KEYBOARD_CHECKER_CLOCK", False);
  return true;
}

// The log's full name, the home folder as "~", for the window: a user who
// started the checker from a menu has no other way to learn where it is.
std::string logPlace() {
  char folder[4096];
  if (getcwd(folder, sizeof folder) == nullptr)
    return "";
  std::string place = std::string(folder) + "/" + kLogFileName;
  const char *home = std::getenv("HOME");
  const size_t length = home != nullptr ? std::strlen(home) : 0;
  if (length > 1 && place.compare(0, length, home) == 0 && place[length] == '/')
    place = "~" + place.substr(length);
  return displayText(place);
}

void openLog(BoardChecker &c, double chatterMs) {
  if (!c.station)
    openBoardLog(c.log, c.board, chatterMs);
  sayLogFileState(logOf(c), c.logSaid);
  c.logPlace = logPlace();
}

// A station that cannot keep its results must not test: its results file
// (and its log) opened before any window, unit 1 starting at the window's
// zero.
bool openStation(BoardChecker &c, const BoardOptions &options) {
  std::string error;
  if (!c.station || openStationRun(c.run, c.board, options.chatterMs,
                                   options.stationName, 0, error))
    return true;
  std::fprintf(stderr, "keyboard-checker: %s\n", displayText(error).c_str());
  return false;
}

void closeDisplay(BoardChecker &c) {
  closeBoardFonts(c.fonts);
  XCloseDisplay(c.display);
  FcFini();
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
  std::vector<std::string> legends;
  if (options.keymapLegends) {
    ScanMap map;
    buildBoardScanMap(c.display, c.board, map);
    readLegends(c.display, c.board, map, legends);
  }
  c.station = options.station;
  const int unfit = fitBoard(c, legends, c.station);
  if (unfit != 0 || !openStation(c, options)) {
    closeDisplay(c);
    return unfit != 0 ? unfit : 2;
  }
  if (!setUpWindow(c))
    return 1;
  c.startTime = serverTime(c);
  openFocusCatchUp(c.catchUp);
  c.paintFd = timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC);
  openLog(c, options.chatterMs);
  if (c.station)
    openStationDevices(c);
  setUpKeyboard(c.keyboard, c.display, c.main.window);
  openKeyboardHold(c.hold, c.display, c.main.window);
  buildBoardScanMap(c.display, c.board, c.keyboard.scanMap);
  startBoardProgress(c.progress, c.board, options.chatterMs);
  c.stale = true;
  // Held keys repeat as presses only: a repeat must not look like a release.
  XkbSetDetectableAutoRepeat(c.display, True, nullptr);
  XMapWindow(c.display, c.main.window);
  XFlush(c.display);
  return runBoardChecker(c);
}

bool closeBoardRun(BoardChecker &c) {
  if (!c.station) {
    closeBoardLog(c.log, c.board);
    sayLogFileState(c.log, c.logSaid);
    return !logFileStoppedShort(c.log);
  }
  const bool whole = closeStationRun(c.run);
  sayLogFileState(c.run.log, c.logSaid);
  const std::string results = stationResultsProblem(c.run);
  if (!results.empty())
    std::fprintf(stderr, "keyboard-checker: %s\n",
                 displayText(results).c_str());
  return whole || (!logFileStoppedShort(c.run.log) && results.empty());
}
