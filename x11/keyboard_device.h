// The keyboard as the rest of the program sees it: a 256-byte snapshot by
// DirectInput scan code, readable only while acquired. The server's key
// events are the source: each one is applied as it comes, so a key that
// goes down and up between two of our turns still gives both lines. The
// whole keymap is read from the server only where no event tells what
// changed: on gaining the focus, after a keymap change. XQueryKeymap and
// the events alike reach us whichever window has the focus, so this gate,
// opened by the focus alone, is what keeps keys typed elsewhere out of the
// window and the log.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>

#include "keymodel/key_state.h"
#include "x11/scan_codes.h"

struct KeyboardDevice {
  Display *display;
  Window window;
  ScanMap scanMap;
  bool japanese;     // the keyboard detected, which picked scanMap
  bool acquired;     // the window has the keyboard focus
  Window focusOwner; // the server's focus when it was acquired
  uint8_t keys[32];  // one bit per X keycode, as the events left it
  int xkbEventType;  // XKB's event code, -1 without XKB
};

// Detects the keyboard and builds its scan map; not acquired yet. Asks for
// XKB's events of a new keyboard or keymap.
void setUpKeyboard(KeyboardDevice &device, Display *display, Window window);
// The keycodes changed under us: the same keyboard, its keys renumbered.
void rebuildScanMap(KeyboardDevice &device);

void acquireKeyboard(KeyboardDevice &device);
void unacquireKeyboard(KeyboardDevice &device);

// Reads the whole keymap from the server into keys. Fails, leaving keys as
// they were, while unacquired, and when the server's focus has moved on
// since: the keymap is read first and the focus after it, in the server's
// order, so a reading that passes was taken while the focus was still
// ours. Also fails when the connection is gone.
bool refreshKeyboard(KeyboardDevice &device);

// One KeyPress or KeyRelease; fails while unacquired.
bool applyKeyEvent(KeyboardDevice &device, unsigned keycode, bool down);

// Fails while unacquired, leaving state as it was.
bool readKeyboardState(const KeyboardDevice &device, KeyState &state);
