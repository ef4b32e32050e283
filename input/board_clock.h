// The board run's clock: milliseconds since the checker started, from
// QueryPerformanceCounter, so that a change is timed where it is seen, to
// well under a millisecond. GetTickCount, and so DirectInput's own stamps,
// moves in steps of about 16 ms on Windows: a bounce could not be told
// from two presses a tick apart.
#pragma once

#include <cstdint>

// Once at start-up, before any other thread reads the clock.
void startBoardClock();

double boardClockMs();
// The same for a QueryPerformanceCounter value taken elsewhere.
double boardClockMsAt(int64_t ticks);
