// The Linux checker's entry: the layout from the command line, the display,
// the font and the window sized from it, the log, the keyboard and its
// detection, then the event loop. Same tables, log and grid as on Windows.
#include <X11/XKBlib.h>
#include <sys/timerfd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "keymodel/window_title.h"
#include "x11/board_mode.h"
#include "x11/board_options.h"
#include "x11/checker.h"
#include "x11/session.h"

namespace {

constexpr char kUsage[] =
    "Usage: keyboard-checker [/jp | /en]\n"
    "       keyboard-checker --board NAME|FILE [--chatter MS] [--legends "
    "board]\n"
    "                        [--station [NAME]]\n"
    "Shows every key of a full-size keyboard and logs each key that goes\n"
    "down or up to Corvanekeyboardchecker.log in the current directory.\n"
    "  /jp  Japanese 106-key main block\n"
    "  /en  US main block\n"
    "Without an option the keyboard's own layout decides. Keys are read\n"
    "only while the window has the focus.\n"
    "  --board NAME|FILE  test one keyboard key by key: a preset's name\n"
    "                     (keyboard-report --boards lists them) or a board\n"
    "                     file; each line of the log carries its time in ms\n"
    "  --chatter MS       with --board: a key down again sooner than this\n"
    "                     after its up is chatter (default 30)\n"
    "  --legends board    with --board: keycaps with the board's labels,\n"
    "                     not what the keymap prints (keymap, the default)\n"
    "  --station [NAME]   with --board: a production station, one keyboard\n"
    "                     after another, each with its verdict and serial,\n"
    "                     a row each in keyboard-results-NAME.csv; NAME is\n"
    "                     1-32 of A-Z a-z 0-9 - _ (default: the host's name)\n";

// Set only for the display-lost handler, which Xlib calls with no context
// of ours; the program has one thread.
Checker *g_lostChecker = nullptr;

void onDisplayLost() {
  closeTransitionLog(g_lostChecker->log, g_lostChecker->layout);
  sayLogState(*g_lostChecker);
}

// Only an argument list of exactly "/jp" or "/en" forces the main block,
// as only a tail of exactly that does on Windows.
KeyboardLayout layoutFromArguments(int argc, char **argv) {
  return argc == 2 ? layoutFromCommandLine(argv[1]) : LayoutUnset;
}

bool setUpWindow(Checker &c) {
  const int screen = DefaultScreen(c.display);
  if (!openGridFont(c.display, screen, c.font)) {
    std::fprintf(stderr, "keyboard-checker: no font found\n");
    return false;
  }
  if (!c.font.japanese)
    std::fprintf(stderr,
                 "keyboard-checker: no Japanese font; using %s, where the "
                 "Japanese labels may not show\n",
                 c.font.name);
  // Only the metrics decide the size, so an empty plan gives it.
  GridPlan plan;
  planGrid(plan, LayoutUS, KeyState{}, c.font.metrics);
  return createMainWindow(c.display, plan.clientWidth, plan.clientHeight,
                          c.main) &&
         createGridCanvas(c.display, c.main.window, c.main.tile,
                          plan.clientWidth, plan.clientHeight, c.canvas);
}

void openLog(Checker &c) {
  clearSnapshots(c.snapshots);
  openTransitionLog(c.log);
  sayLogState(c);
}

} // namespace

int main(int argc, char **argv) {
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("keyboard-checker %s\n", KC_VERSION);
    return 0;
  }
  if (asksForBoard(argc, argv))
    return runBoardMode(argc, argv);
  Checker c = {};
  c.layout = layoutFromArguments(argc, argv);
  c.signalFd = signalEvents();
  c.display = openSessionDisplay();
  if (c.display == nullptr)
    return 1;
  g_lostChecker = &c;
  handleConnectionFaults(c.display, onDisplayLost);
  if (!setUpWindow(c))
    return 1;
  c.timerFd = timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC);
  openFocusCatchUp(c.catchUp);
  openLog(c);
  setUpKeyboard(c.keyboard, c.display, c.main.window);
  if (c.layout == LayoutUnset)
    c.layout = c.keyboard.japanese ? LayoutJP : LayoutUS;
  // Held keys repeat as presses only: a repeat must not look like a release.
  XkbSetDetectableAutoRepeat(c.display, True, nullptr);
  XMapWindow(c.display, c.main.window);
  XFlush(c.display);
  return runChecker(c);
}
