// After a focus gain the keymap is read again a few times, because
// XWayland marks keys already held only some time after the focus came.
// Both windows read it their own way; the schedule is one.
#pragma once

struct FocusCatchUp {
  int fd;   // a timerfd, polled by the window's loop
  int step; // how many of the further reads were taken
};

bool openFocusCatchUp(FocusCatchUp &catchUp);

// The focus came (the caller reads the keymap now): the further reads
// are scheduled. The focus went: none is left.
void startFocusCatchUp(FocusCatchUp &catchUp);
void stopFocusCatchUp(FocusCatchUp &catchUp);

// The timer fired: true when a read is due now; the next one is armed.
bool focusCatchUpDue(FocusCatchUp &catchUp);
