// The display and the signals, set up one way for either window.
#include "x11/session.h"

#include <signal.h>
#include <sys/signalfd.h>

#include <cstdio>
#include <cstdlib>

Display *openSessionDisplay() {
  const char *name = std::getenv("DISPLAY");
  if (name == nullptr || *name == '\0') {
    std::fprintf(stderr, "keyboard-checker: no display: DISPLAY is not set\n");
    return nullptr;
  }
  Display *display = XOpenDisplay(name);
  if (display == nullptr)
    std::fprintf(stderr, "keyboard-checker: cannot open display %s\n", name);
  return display;
}

int signalEvents() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);
  sigprocmask(SIG_BLOCK, &set, nullptr);
  return signalfd(-1, &set, SFD_CLOEXEC);
}
