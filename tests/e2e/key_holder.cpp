// Another client holding the keyboard, as a screen locker or a game does:
// an active grab on the root window until the process is ended (the
// server lets go when the connection closes). Prints "held" once it has
// the keyboard; exits with status 1 when the server refuses it.
#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>

int main() {
  Display *display = XOpenDisplay(nullptr);
  if (display == nullptr ||
      XGrabKeyboard(display, DefaultRootWindow(display), False, GrabModeAsync,
                    GrabModeAsync, CurrentTime) != GrabSuccess) {
    std::fprintf(stderr, "key_holder: no display, or the keyboard refused\n");
    return 1;
  }
  std::printf("held\n");
  std::fflush(stdout);
  for (;;)
    pause();
}
