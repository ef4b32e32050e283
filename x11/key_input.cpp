// Applies key events to the keyboard's state one by one and logs each
// change at once. Reading the whole keymap after every event, as before,
// lost any key that went down and up before the read: both of its lines.
#include "x11/key_input.h"

namespace {

// Both roads end here: the reading compared and logged against the last
// one, what a failed write left said, and a drawing due.
template <typename Read> bool take(Checker &c, Read read) {
  const bool taken = takeReading(c.snapshots, c.log, c.layout, read);
  sayLogState(c); // a write that failed, or a log gone from its name
  c.repaintPending = c.repaintPending || taken;
  return taken;
}

} // namespace

bool takeKeyEvent(Checker &c, unsigned keycode, bool down) {
  return take(c, [&](KeyState &state) {
    return applyKeyEvent(c.keyboard, keycode, down) &&
           readKeyboardState(c.keyboard, state);
  });
}

bool takeServerKeymap(Checker &c) {
  return take(c, [&](KeyState &state) {
    return refreshKeyboard(c.keyboard) && readKeyboardState(c.keyboard, state);
  });
}

void catchUpOnFocus(Checker &c) {
  takeServerKeymap(c);
  startFocusCatchUp(c.catchUp);
}

void onFocusCatchUpTimer(Checker &c) {
  if (focusCatchUpDue(c.catchUp))
    takeServerKeymap(c);
}
