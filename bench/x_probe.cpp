// A native X client that times the checker from the outside, the way a user
// meets it: a key sent through XTest until its line is on disk or its label
// turns black on the screen, and a launch until the window has its fitted
// width. Clock: CLOCK_MONOTONIC. Every figure is printed as one row.
//
//   x_probe log FILE KEYCODE LABEL COUNT GAP_MS
//   x_probe screen X Y W H KEYCODE COUNT GAP_MS [UP_RGB]
//   x_probe start TITLE WIDTH RUNS PREP_SH CLOSE_SH -- COMMAND...
//   x_probe unit X Y W H KEYCODE COUNT GAP_MS
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/probe_clock.h"
#include "bench/sample_stats.h"
#include "bench/x_launch.h"

namespace {

// Windows come and go while the tree is walked; a vanished one is no error.
int ignoreXError(Display *, XErrorEvent *) { return 0; }

void sendKey(Display *display, int keycode, bool down) {
  XTestFakeKeyEvent(display, static_cast<unsigned>(keycode),
                    down ? True : False, CurrentTime);
  XFlush(display);
}

// Reads whatever the log gained; true once text holds a whole line.
bool readMore(int fd, std::string &text) {
  char buffer[256];
  ssize_t n;
  while ((n = read(fd, buffer, sizeof buffer)) > 0)
    text.append(buffer, static_cast<size_t>(n));
  return text.find('\n') != std::string::npos;
}

// The next line of the log, sleeping on inotify between reads.
bool waitForLine(int logFd, int watchFd, std::string &line) {
  line.clear();
  const double deadline = nowMs() + kDeadlineMs;
  while (!readMore(logFd, line)) {
    const double left = deadline - nowMs();
    if (left <= 0)
      return false;
    pollfd p{watchFd, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left) + 1) > 0) {
      char events[4096];
      const ssize_t drained = read(watchFd, events, sizeof events);
      (void)drained;
    }
  }
  return true;
}

// "<label> <state>" CR LF, as the classic log writes it, or with a board
// log's time before the line end.
bool isLineOf(const std::string &line, const std::string &expected) {
  if (line.compare(0, expected.size(), expected) != 0)
    return false;
  const std::string rest = line.substr(expected.size());
  const size_t digits = rest.find_first_not_of("0123456789", 1);
  return rest == "\r\n" ||
         (rest.size() > 3 && rest[0] == ' ' && digits != 1 &&
          rest.compare(digits, std::string::npos, "\r\n") == 0);
}

int runLog(Display *display, char **argv) {
  const char *file = argv[0];
  const int keycode = std::atoi(argv[1]);
  const std::string label = argv[2];
  const int count = std::atoi(argv[3]);
  const double gapMs = std::atof(argv[4]);
  const int watchFd = inotify_init1(IN_CLOEXEC);
  if (watchFd < 0 || inotify_add_watch(watchFd, file, IN_MODIFY) < 0)
    return fail("cannot watch the log");
  const int logFd = open(file, O_RDONLY | O_CLOEXEC);
  if (logFd < 0 || lseek(logFd, 0, SEEK_END) < 0)
    return fail("cannot read the log");
  std::vector<double> downs, ups, both;
  for (int i = 0; i < count; ++i) {
    for (bool down : {true, false}) {
      const std::string expected = label + (down ? " down" : " up");
      std::string line;
      const double start = nowMs();
      sendKey(display, keycode, down);
      if (!waitForLine(logFd, watchFd, line))
        return fail("no log line within 5 s");
      const double took = nowMs() - start;
      if (!isLineOf(line, expected))
        return fail(("unexpected log text: " + line).c_str());
      (down ? downs : ups).push_back(took);
      both.push_back(took);
      sleepMs(gapMs);
    }
  }
  const char *note = "XTest event to line read back (inotify wake-up)";
  printRow("key to log line, down", downs, "ms", note);
  printRow("key to log line, up", ups, "ms", note);
  printRow("key to log line, all", both, "ms", note);
  return 0;
}

struct Cell {
  int x, y, w, h;
};

// Pixels of the cell (on the root window) that are exactly rgb; the time
// of the grab and the scan goes to pollTimes.
int countPixels(Display *display, const Cell &cell, unsigned long rgb,
                std::vector<double> &pollTimes) {
  const double start = nowMs();
  XImage *image = XGetImage(display, DefaultRootWindow(display), cell.x, cell.y,
                            static_cast<unsigned>(cell.w),
                            static_cast<unsigned>(cell.h), AllPlanes, ZPixmap);
  if (image == nullptr)
    return -1;
  int found = 0;
  for (int y = 0; y < cell.h; ++y)
    for (int x = 0; x < cell.w; ++x)
      found += (XGetPixel(image, x, y) & 0xFFFFFF) == rgb;
  XDestroyImage(image);
  pollTimes.push_back(nowMs() - start);
  return found;
}

// Polls without pause until the cell has pixels of rgb (or has none).
bool waitForColour(Display *display, const Cell &cell, unsigned long rgb,
                   bool wanted, std::vector<double> &pollTimes) {
  const double deadline = nowMs() + kDeadlineMs;
  while (nowMs() < deadline) {
    const int found = countPixels(display, cell, rgb, pollTimes);
    if (found < 0)
      return false;
    if ((found > 0) == wanted)
      return true;
  }
  return false;
}

bool waitForBlack(Display *display, const Cell &cell, bool wanted,
                  std::vector<double> &pollTimes) {
  return waitForColour(display, cell, 0x000000, wanted, pollTimes);
}

// A station on a board of one key, the cell its window: the key down and
// up passes the unit (its keycap turns blue), then Enter, with no serial,
// until the next unit's cleared board is on the screen.
int runUnit(Display *display, char **argv) {
  constexpr unsigned long kTestedBlue = 0x3C8CD0;
  constexpr int kReturn = 36;
  const Cell cell{std::atoi(argv[0]), std::atoi(argv[1]), std::atoi(argv[2]),
                  std::atoi(argv[3])};
  const int keycode = std::atoi(argv[4]);
  const int count = std::atoi(argv[5]);
  const double gapMs = std::atof(argv[6]);
  std::vector<double> polls, next;
  for (int i = 0; i < count; ++i) {
    sendKey(display, keycode, true);
    sendKey(display, keycode, false);
    if (!waitForColour(display, cell, kTestedBlue, true, polls))
      return fail("the unit's key not shown tested within 5 s");
    sleepMs(gapMs);
    const double start = nowMs();
    sendKey(display, kReturn, true);
    if (!waitForColour(display, cell, kTestedBlue, false, polls))
      return fail("no cleared unit within 5 s of Enter");
    next.push_back(nowMs() - start);
    sendKey(display, kReturn, false);
    sleepMs(gapMs);
  }
  printRow("station: Enter to next unit shown", next, "ms",
           "XTest Enter after a PASS until no keycap is blue (the row "
           "written and synced, the next unit drawn)");
  return 0;
}

int runScreen(Display *display, char **argv) {
  const Cell cell{std::atoi(argv[0]), std::atoi(argv[1]), std::atoi(argv[2]),
                  std::atoi(argv[3])};
  const int keycode = std::atoi(argv[4]);
  const int count = std::atoi(argv[5]);
  const double gapMs = std::atof(argv[6]);
  // The classic label's up colour, or a board keycap's label once tested.
  const unsigned long upColour =
      argv[7] != nullptr ? std::strtoul(argv[7], nullptr, 16) : 0x96B4BE;
  std::vector<double> polls, downs, ups;
  // The label must be there in its up colour, with nothing black, or the
  // cell is not where the label is.
  if (countPixels(display, cell, upColour, polls) <= 0 ||
      countPixels(display, cell, 0x000000, polls) != 0)
    return fail("the cell does not show the released label");
  for (int i = 0; i < count; ++i) {
    double start = nowMs();
    sendKey(display, keycode, true);
    if (!waitForBlack(display, cell, true, polls))
      return fail("label not black within 5 s");
    downs.push_back(nowMs() - start);
    sleepMs(gapMs);
    start = nowMs();
    sendKey(display, keycode, false);
    if (!waitForBlack(display, cell, false, polls))
      return fail("label still black 5 s after release");
    ups.push_back(nowMs() - start);
    sleepMs(gapMs);
  }
  const SampleSummary poll = summarize(polls);
  char note[160];
  std::snprintf(note, sizeof note,
                "XTest event to pixels seen by XGetImage; one poll %.3f ms "
                "median, %.3f ms worst",
                poll.median, poll.worst);
  printRow("key to screen, down (black)", downs, "ms", note);
  printRow("key to screen, up (no black)", ups, "ms", note);
  return 0;
}

} // namespace

int main(int argc, char **argv) {
  Display *display = XOpenDisplay(nullptr);
  if (display == nullptr)
    return fail("cannot open the display");
  XSetErrorHandler(ignoreXError);
  int unused;
  if (!XTestQueryExtension(display, &unused, &unused, &unused, &unused))
    return fail("no XTest extension");
  const std::string mode = argc > 1 ? argv[1] : "";
  int result = 2;
  if (mode == "log" && argc == 7)
    result = runLog(display, argv + 2);
  else if (mode == "screen" && (argc == 9 || argc == 10))
    result = runScreen(display, argv + 2);
  else if (mode == "start")
    result = runStart(display, argc - 2, argv + 2);
  else if (mode == "unit" && argc == 9)
    result = runUnit(display, argv + 2);
  else
    fail("usage: x_probe log|screen|start|unit ...");
  XCloseDisplay(display);
  return result;
}
