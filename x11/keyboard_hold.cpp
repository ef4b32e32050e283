// The keyboard grab of the board window, its retries and what the window
// says when it could not be had.
#include "x11/keyboard_hold.h"

#include <X11/extensions/Xrandr.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

namespace {

// ms from the focus gain to each further try while another client holds
// the keyboard. Most such grabs last a moment (a window switcher's, a
// shortcut's key still down) and end in a FocusIn that tries again at
// once; these catch the ones that end without a word to us.
constexpr long kRetryMs[] = {100, 250, 500, 1000};
constexpr int kRetries = sizeof kRetryMs / sizeof kRetryMs[0];

void arm(KeyboardHold &hold, long ms) {
  const itimerspec when = {{0, 0}, {ms / 1000, (ms % 1000) * 1000000}};
  timerfd_settime(hold.fd, 0, &when, nullptr);
}

void stopRetries(KeyboardHold &hold) {
  hold.retries = kRetries;
  arm(hold, 0);
}

// Xwayland before 23.1 has no extension of its own to ask for; its
// outputs' names give it away.
bool outputsNamedXwayland(Display *display) {
  int event, error;
  if (!XRRQueryExtension(display, &event, &error))
    return false;
  XRRScreenResources *screen =
      XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display));
  if (screen == nullptr)
    return false;
  bool found = false;
  for (int i = 0; i < screen->noutput && !found; ++i) {
    XRROutputInfo *output =
        XRRGetOutputInfo(display, screen, screen->outputs[i]);
    found = output != nullptr && std::strncmp(output->name, "XWAYLAND", 8) == 0;
    if (output != nullptr)
      XRRFreeOutputInfo(output);
  }
  XRRFreeScreenResources(screen);
  return found;
}

bool isXwayland(Display *display) {
  int opcode, event, error;
  return XQueryExtension(display, "XWAYLAND", &opcode, &event, &error) ||
         outputsNamedXwayland(display);
}

// GNOME's compositor lets an X window's grab take its shortcuts only when
// the window said so before the grab; it keeps the word for the window's
// life. Other compositors and window managers pass over the message.
void tellCompositor(KeyboardHold &hold) {
  XEvent event = {};
  event.xclient.type = ClientMessage;
  event.xclient.window = hold.window;
  event.xclient.message_type =
      XInternAtom(hold.display, "_XWAYLAND_MAY_GRAB_KEYBOARD", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = 1;
  XSendEvent(hold.display, DefaultRootWindow(hold.display), False,
             SubstructureRedirectMask | SubstructureNotifyMask, &event);
  hold.told = true;
}

int tryToHold(KeyboardHold &hold) {
  if (hold.xwayland && !hold.told)
    tellCompositor(hold);
  const int status = XGrabKeyboard(hold.display, hold.window, False,
                                   GrabModeAsync, GrabModeAsync, CurrentTime);
  hold.held = status == GrabSuccess;
  return status;
}

// True when the notice changes with it.
bool settle(KeyboardHold &hold, int refusal) {
  const bool changed = refusal != hold.refusal;
  hold.refusal = refusal;
  return changed;
}

} // namespace

bool openKeyboardHold(KeyboardHold &hold, Display *display, Window window) {
  hold = {};
  hold.display = display;
  hold.window = window;
  hold.xwayland = isXwayland(display);
  hold.retries = kRetries;
  hold.refusal = GrabSuccess;
  hold.fd = timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC);
  return hold.fd >= 0;
}

bool holdKeyboard(KeyboardHold &hold) {
  if (hold.held)
    return false;
  if (tryToHold(hold) == GrabSuccess) {
    stopRetries(hold);
    return settle(hold, GrabSuccess);
  }
  // The notice waits for the last retry: a refusal that a moment ends (a
  // window switcher that gave us the focus still holding the keyboard)
  // is not worth a word.
  hold.retries = 0;
  arm(hold, kRetryMs[0]);
  return false;
}

bool retryKeyboardHold(KeyboardHold &hold) {
  uint64_t expirations;
  if (read(hold.fd, &expirations, sizeof expirations) <= 0 || hold.held ||
      hold.retries >= kRetries)
    return false;
  const int status = tryToHold(hold);
  if (status == GrabSuccess) {
    stopRetries(hold);
    return settle(hold, GrabSuccess);
  }
  if (++hold.retries < kRetries) {
    arm(hold, kRetryMs[hold.retries] - kRetryMs[hold.retries - 1]);
    return false;
  }
  return settle(hold, status);
}

void releaseKeyboard(KeyboardHold &hold) {
  stopRetries(hold);
  if (hold.held)
    XUngrabKeyboard(hold.display, CurrentTime);
  hold.held = false;
}

void forgetKeyboardHold(KeyboardHold &hold) {
  stopRetries(hold);
  hold.held = false;
}

bool isOwnGrabStart(const KeyboardHold &hold, int mode) {
  // While the keyboard is ours nobody else can grab it.
  return hold.held && mode == NotifyGrab;
}

void addKeyboardHoldNotice(BoardPlan &plan, const KeyboardHold &hold) {
  switch (hold.refusal) {
  case AlreadyGrabbed:
    addBoardNotice(plan, "keyboard not held: another program has it");
    break;
  case GrabFrozen:
    addBoardNotice(plan, "keyboard not held: another program froze it");
    break;
  default:
    break; // held, or a refusal that is nobody's doing
  }
}
