// Applies key events to the keyboard's state one by one and logs each
// change at once. Reading the whole keymap after every event, as before,
// lost any key that went down and up before the read: both of its lines.
#include "x11/key_input.h"

bool takeKeyEvent(Checker &c, unsigned keycode, bool down) {
  const auto read = [&](KeyState &state) {
    return applyKeyEvent(c.keyboard, keycode, down) &&
           readKeyboardState(c.keyboard, state);
  };
  const bool taken = takeReading(c.snapshots, c.log, c.layout, read);
  sayLogState(c); // a write that failed, or a log gone from its name
  if (!taken)
    return false;
  c.repaintPending = true;
  return true;
}

bool takeServerKeymap(Checker &c) {
  const auto read = [&](KeyState &state) {
    return refreshKeyboard(c.keyboard) && readKeyboardState(c.keyboard, state);
  };
  const bool taken = takeReading(c.snapshots, c.log, c.layout, read);
  sayLogState(c); // a write that failed, or a log gone from its name
  if (!taken)
    return false;
  c.repaintPending = true;
  return true;
}

void catchUpOnFocus(Checker &c) {
  takeServerKeymap(c);
  startFocusCatchUp(c.catchUp);
}

void onFocusCatchUpTimer(Checker &c) {
  if (focusCatchUpDue(c.catchUp))
    takeServerKeymap(c);
}
