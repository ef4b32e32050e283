// The probe's start-up mode: launches the checker again and again and
// times each launch until its window exists and until it has its fitted
// width, closing it in between with a command of the caller's.
#include "bench/x_launch.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench/probe_clock.h"
#include "bench/sample_stats.h"

namespace {

Window findByName(Display *display, Window window, const char *title) {
  char *name = nullptr;
  if (XFetchName(display, window, &name) && name != nullptr) {
    const bool match = std::strcmp(name, title) == 0;
    XFree(name);
    if (match)
      return window;
  }
  Window root, parent, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, window, &root, &parent, &children, &count))
    return 0;
  Window found = 0;
  for (unsigned i = 0; i < count && found == 0; ++i)
    found = findByName(display, children[i], title);
  if (children != nullptr)
    XFree(children);
  return found;
}

// One launch: ms until a window of that title exists and until it has the
// fitted width; the mean time between polls goes to periods. Returns the
// program's pid, or 0 when it never got fitted.
pid_t timeLaunch(Display *display, const char *title, int width, char **command,
                 double &shown, double &fitted, std::vector<double> &periods) {
  const double start = nowMs();
  const pid_t pid = fork();
  if (pid == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    execvp(command[0], command);
    _exit(127);
  }
  shown = fitted = -1;
  const Window rootWindow = DefaultRootWindow(display);
  int polls = 0;
  while (fitted < 0 && nowMs() - start < 4 * kDeadlineMs) {
    const Window window = findByName(display, rootWindow, title);
    XWindowAttributes attributes;
    if (window != 0) {
      if (shown < 0)
        shown = nowMs() - start;
      // Fitted and on the screen: the native window is born fitted.
      if (XGetWindowAttributes(display, window, &attributes) &&
          attributes.width == width && attributes.map_state == IsViewable)
        fitted = nowMs() - start;
    }
    ++polls;
    if (fitted < 0)
      sleepMs(1);
  }
  periods.push_back((nowMs() - start) / polls);
  return pid > 0 && fitted >= 0 ? pid : 0;
}

// True when the program ended with 0 and its window is gone; one that
// hangs is killed so that the next launch starts clean.
bool waitForExit(Display *display, const char *title, pid_t pid) {
  const double deadline = nowMs() + 3 * kDeadlineMs;
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (nowMs() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return false;
    }
    sleepMs(5);
  }
  while (findByName(display, DefaultRootWindow(display), title) != 0) {
    if (nowMs() > deadline)
      return false;
    sleepMs(5);
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

int runStart(Display *display, int argc, char **argv) {
  if (argc < 7 || std::strcmp(argv[5], "--") != 0)
    return fail("usage: start TITLE WIDTH RUNS PREP_SH CLOSE_SH -- COMMAND...");
  const char *title = argv[0];
  const int width = std::atoi(argv[1]);
  const int runs = std::atoi(argv[2]);
  std::vector<double> shownTimes, fittedTimes, periods;
  for (int i = 0; i < runs; ++i) {
    if (std::system(argv[3]) != 0)
      return fail("preparation failed");
    double shown, fitted;
    const pid_t pid =
        timeLaunch(display, title, width, argv + 6, shown, fitted, periods);
    if (pid == 0)
      return fail("no fitted window within 20 s");
    shownTimes.push_back(shown);
    fittedTimes.push_back(fitted);
    if (std::system(argv[4]) != 0 || !waitForExit(display, title, pid))
      return fail("the program did not close cleanly");
  }
  char note[160];
  std::snprintf(note, sizeof note,
                "fork+exec to X window (by name) found / at fitted width; "
                "poll every %.2f ms",
                summarize(periods).median);
  printRow("start-up, window exists", shownTimes, "ms", note);
  printRow("start-up, window fitted", fittedTimes, "ms", note);
  return 0;
}
