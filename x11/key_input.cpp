// Applies key events to the keyboard's state one by one and logs each
// change at once. Reading the whole keymap after every event, as before,
// lost any key that went down and up before the read: both of its lines.
#include "x11/key_input.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <cstdint>

namespace {

// After a focus gain, ms from the gain to each further read of the keymap.
constexpr long kCatchUpMs[] = {10, 50, 250};
constexpr int kCatchUpReads = sizeof kCatchUpMs / sizeof kCatchUpMs[0];

void armCatchUp(Checker &c, long ms) {
  const itimerspec when = {{0, 0}, {ms / 1000, (ms % 1000) * 1000000}};
  timerfd_settime(c.catchUpFd, 0, &when, nullptr);
}

} // namespace

bool takeKeyEvent(Checker &c, unsigned keycode, bool down, Time time) {
  const auto read = [&](KeyState &state) {
    return applyKeyEvent(c.keyboard, keycode, down) &&
           readKeyboardState(c.keyboard, state);
  };
  if (!takeReading(c.snapshots, c.log, c.layout, read))
    return false;
  c.lastKeyTime = time;
  c.repaintPending = true;
  return true;
}

bool takeServerKeymap(Checker &c) {
  const auto read = [&](KeyState &state) {
    return refreshKeyboard(c.keyboard) && readKeyboardState(c.keyboard, state);
  };
  if (!takeReading(c.snapshots, c.log, c.layout, read))
    return false;
  c.repaintPending = true;
  return true;
}

void startFocusCatchUp(Checker &c) {
  takeServerKeymap(c);
  c.catchUpStep = 0;
  armCatchUp(c, kCatchUpMs[0]);
}

void stopFocusCatchUp(Checker &c) {
  c.catchUpStep = kCatchUpReads;
  armCatchUp(c, 0);
}

void onFocusCatchUpTimer(Checker &c) {
  uint64_t expirations;
  if (read(c.catchUpFd, &expirations, sizeof expirations) <= 0 ||
      c.catchUpStep >= kCatchUpReads)
    return;
  takeServerKeymap(c);
  if (++c.catchUpStep < kCatchUpReads)
    armCatchUp(c, kCatchUpMs[c.catchUpStep] - kCatchUpMs[c.catchUpStep - 1]);
}
