// Sends key events through XTest with exact gaps, faster and closer
// together than xdotool can: "dN" presses X keycode N, "uN" releases it,
// "pMS" pauses MS milliseconds (fractions too; short ones spin on the
// clock). Events between pauses go out in one write. Exits once the server
// has taken them all. "sN" instead makes up a press and a release of N
// and sends them to the focused window as another client could
// (XSendEvent), which is no key of the keyboard's.
//   key_burst d38 u38 p0.125 d38 p0.125 u38 ...
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <initializer_list>

namespace {

double nowMs() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

void pause(double ms) {
  const double until = nowMs() + ms;
  if (ms > 2) {
    const long ns = static_cast<long>((ms - 1) * 1e6);
    const timespec t = {ns / 1000000000, ns % 1000000000};
    nanosleep(&t, nullptr);
  }
  while (nowMs() < until) {
  }
}

void sendMadeUp(Display *display, unsigned keycode) {
  Window focus;
  int revert;
  XGetInputFocus(display, &focus, &revert);
  XEvent event = {};
  XKeyEvent &key = event.xkey;
  key.display = display;
  key.window = focus;
  key.root = DefaultRootWindow(display);
  key.keycode = keycode;
  key.same_screen = True;
  for (int type : {KeyPress, KeyRelease}) {
    key.type = type;
    XSendEvent(display, focus, True,
               type == KeyPress ? KeyPressMask : KeyReleaseMask, &event);
  }
}

} // namespace

int main(int argc, char **argv) {
  Display *display = XOpenDisplay(nullptr);
  int unused;
  if (display == nullptr ||
      !XTestQueryExtension(display, &unused, &unused, &unused, &unused)) {
    std::fprintf(stderr, "key_burst: no display with XTest\n");
    return 2;
  }
  for (int i = 1; i < argc; ++i) {
    const char kind = argv[i][0];
    char *end = nullptr;
    const double value = std::strtod(argv[i] + 1, &end);
    if ((kind != 'd' && kind != 'u' && kind != 'p' && kind != 's') ||
        end == argv[i] + 1 ||
        *end != '\0') {
      std::fprintf(stderr, "key_burst: bad step \"%s\"\n", argv[i]);
      return 2;
    }
    if (kind == 'p') {
      XFlush(display);
      pause(value);
    } else if (kind == 's') {
      sendMadeUp(display, static_cast<unsigned>(value));
    } else {
      XTestFakeKeyEvent(display, static_cast<unsigned>(value), kind == 'd',
                        CurrentTime);
    }
  }
  XSync(display, False);
  XCloseDisplay(display);
  return 0;
}
