// Board mode holds the keyboard while its window has the focus. Window
// managers and desktops take their shortcuts (Print, Super+E, Alt+Tab)
// with passive key grabs, which only ever start while no client holds the
// keyboard: an active grab by the focused window gets those keys instead,
// so they are tested like any other. The pointer stays free: a click on
// another window moves the focus, and the focus leaving lets the keyboard
// go. Under Xwayland the grab is also a request to the compositor, which
// GNOME's grants only to a window that said beforehand that it may grab.
#pragma once

#include <X11/Xlib.h>

#include "keymodel/board_plan.h"

struct KeyboardHold {
  Display *display;
  Window window;
  bool xwayland; // the server is Xwayland: the compositor is told first
  bool told;     // it was, for this window
  bool held;     // the keyboard is ours now
  int fd;        // a timerfd for the retries, polled by the window's loop
  int retries;   // taken since the focus came
  int refusal;   // why the last try failed, once no retry is left
};

// Finds out whether the server is Xwayland; holds nothing yet.
bool openKeyboardHold(KeyboardHold &hold, Display *display, Window window);

// The focus came: the keyboard is taken now, or, while another client
// holds it, tried again a few times over the next second. True when the
// notice changed.
bool holdKeyboard(KeyboardHold &hold);
// The retry timer fired. True when the notice changed.
bool retryKeyboardHold(KeyboardHold &hold);

// The focus went, or the window closes: the keyboard is let go, and no
// retry is left. Sends one request and waits for nothing.
void releaseKeyboard(KeyboardHold &hold);
// The window was unmapped, and with that the server let the keyboard go.
void forgetKeyboardHold(KeyboardHold &hold);

// A FocusOut of this mode is the window's own grab starting, not the
// focus going.
bool isOwnGrabStart(const KeyboardHold &hold, int mode);

// While the keyboard could not be held the window says why, in plain
// words, on the plan's notice line.
void addKeyboardHoldNotice(BoardPlan &plan, const KeyboardHold &hold);
