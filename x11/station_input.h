// What a station's window takes besides the keys under test: the serial
// typed after a unit's verdict, a click on its "Fail unit" button, and the
// X server's word of keyboards plugged in and unplugged (XInput 2's
// hierarchy events on the root), each handed to the station run. Where the
// server says nothing of keyboards (Xwayland passes on none of the
// compositor's), the button and Enter do the same.
#pragma once

#include <X11/Xlib.h>

#include "x11/board_mode.h"

// Asks for the keyboards' comings and goings, and names the unit's
// keyboard when the server has exactly one real one. xiOpcode stays -1
// without XInput 2.
void openStationDevices(BoardChecker &c);

// A key while the unit waits for its serial: a character typed joins it,
// BackSpace takes one off, Enter (main or keypad) finishes the unit. Never
// a key under test, never logged.
bool isSerialKey(const BoardChecker &c);
void onSerialKey(BoardChecker &c, XKeyEvent &event);

// A mouse button pressed in the window.
void onStationClick(BoardChecker &c, const XButtonEvent &button);

// XInput 2's hierarchy change, if the event is one.
bool isDeviceChange(const BoardChecker &c, const XEvent &event);
void onDeviceChange(BoardChecker &c, XEvent &event);
