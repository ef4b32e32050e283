// The clock's origin and rate, set once before the threads that read them
// start, and never written again.
#include "input/board_clock.h"

#include <windows.h>

namespace {

int64_t g_startTicks = 0;
double g_ticksPerMs = 1;

} // namespace

void startBoardClock() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  g_startTicks = now.QuadPart;
  g_ticksPerMs = static_cast<double>(frequency.QuadPart) / 1000;
}

double boardClockMs() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return boardClockMsAt(now.QuadPart);
}

double boardClockMsAt(int64_t ticks) {
  return static_cast<double>(ticks - g_startTicks) / g_ticksPerMs;
}
