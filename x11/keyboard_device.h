// The keyboard as the rest of the program sees it: a 256-byte snapshot by
// DirectInput scan code, readable only while acquired. XQueryKeymap shows
// every key of the display, whichever window has the focus, so this gate,
// opened by the focus alone, is what keeps keys typed elsewhere out of the
// window and the log.
#pragma once

#include <X11/Xlib.h>

#include "keymodel/key_state.h"
#include "x11/scan_codes.h"

struct KeyboardDevice {
  Display *display;
  Window window;
  ScanMap scanMap;
  bool japanese;     // the keyboard detected, which picked scanMap
  bool acquired;     // the window has the keyboard focus
  Window focusOwner; // the server's focus when it was acquired
};

// Detects the keyboard and builds its scan map; not acquired yet.
void setUpKeyboard(KeyboardDevice &device, Display *display, Window window);

void acquireKeyboard(KeyboardDevice &device);
void unacquireKeyboard(KeyboardDevice &device);

// Fails, leaving state as it was, while unacquired, and when the server's
// focus has moved on since: the keymap is read first and the focus after
// it, in the server's order, so a reading that passes was taken while the
// focus was still ours. Also fails when the connection is gone.
bool readKeyboardState(KeyboardDevice &device, KeyState &state);
