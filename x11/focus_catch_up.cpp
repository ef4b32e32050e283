// The further reads' schedule after a focus gain, on one timerfd.
#include "x11/focus_catch_up.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <cstdint>

namespace {

// ms from the focus gain to each further read of the keymap.
constexpr long kCatchUpMs[] = {10, 50, 250};
constexpr int kCatchUpReads = sizeof kCatchUpMs / sizeof kCatchUpMs[0];

void arm(FocusCatchUp &catchUp, long ms) {
  const itimerspec when = {{0, 0}, {ms / 1000, (ms % 1000) * 1000000}};
  timerfd_settime(catchUp.fd, 0, &when, nullptr);
}

} // namespace

bool openFocusCatchUp(FocusCatchUp &catchUp) {
  catchUp.fd = timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC);
  catchUp.step = kCatchUpReads;
  return catchUp.fd >= 0;
}

void startFocusCatchUp(FocusCatchUp &catchUp) {
  catchUp.step = 0;
  arm(catchUp, kCatchUpMs[0]);
}

void stopFocusCatchUp(FocusCatchUp &catchUp) {
  catchUp.step = kCatchUpReads;
  arm(catchUp, 0);
}

bool focusCatchUpDue(FocusCatchUp &catchUp) {
  uint64_t expirations;
  if (read(catchUp.fd, &expirations, sizeof expirations) <= 0 ||
      catchUp.step >= kCatchUpReads)
    return false;
  if (++catchUp.step < kCatchUpReads)
    arm(catchUp, kCatchUpMs[catchUp.step] - kCatchUpMs[catchUp.step - 1]);
  return true;
}
