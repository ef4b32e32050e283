// What the user's own keyboard prints on each key, for the keycaps: a
// German user's Z key shows "Z" though the board, the log and the report
// call it "Y". Taken from the X keymap in use when the window opens.
#pragma once

#include <X11/Xlib.h>

#include <string>
#include <vector>

#include "keymodel/board.h"
#include "x11/scan_codes.h"

// A caption per key of the board, parallel to its keys: the keymap's
// first level, in capitals, where it prints something; "" (the board's
// label) where it does not, such as the modifiers, the keypad and the
// function keys.
void readLegends(Display *display, const Board &board, const ScanMap &map,
                 std::vector<std::string> &legends);
