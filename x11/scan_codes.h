// From X keycodes to the DirectInput scan codes the key model speaks, so
// the log and the grid see the very codes the Windows program gets for the
// same keys. The keyboard, not "/jp" or "/en", picks the table: a Japanese
// keyboard reports its own codes whichever main block is shown.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>

#include "keymodel/board.h"
#include "keymodel/key_state.h"

// X keycode to DIK code; 0 where the key has none.
struct ScanMap {
  uint8_t dik[256];
};

// How the keycodes were tied to keys.
enum class ScanSource { Evdev, KeyNames };

// Evdev-based servers (Xorg, Xvfb, XWayland) number keys as Linux does,
// plus 8; any other server is read through its XKB key names.
ScanSource buildScanMap(Display *display, bool japanese, ScanMap &map);

// On X a keycode is a place on the keyboard, whatever the keymap says, so
// in board mode the board's own codes pick the table: a JIS board tested
// on a US keymap still gets its Zenkaku key. Where a board has ABNT2's
// keypad key instead of the keypad comma, that place reads as it.
ScanSource buildBoardScanMap(Display *display, const Board &board,
                             ScanMap &map);

// The 32-byte keymap of XQueryKeymap as a 256-byte keyboard state.
void keymapToKeyState(const char keys[32], const ScanMap &map, KeyState &state);
