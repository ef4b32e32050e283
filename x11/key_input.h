// The one road from the keyboard to the log and the window: a key event
// as the server sent it, or the whole keymap read where events cannot tell
// what changed. Both end in the key model's comparison and log, so a
// transition is logged however soon another follows it.
#pragma once

#include "x11/checker.h"

// One KeyPress (down) or KeyRelease, in the order the server sent them;
// False, and nothing changes, while the window does not have the focus.
bool takeKeyEvent(Checker &c, unsigned keycode, bool down);

// The whole keymap from the server (on a focus gain, after the keycodes
// changed), logged against what was last logged. False when the focus has
// gone or the server is gone.
bool takeServerKeymap(Checker &c);

// A focus gain: the keymap now, and again a few times over the next
// moments, since XWayland marks keys already held only some time after
// the focus came.
void catchUpOnFocus(Checker &c);
// The catch-up timer fired: the next of those reads, when one is due.
void onFocusCatchUpTimer(Checker &c);
