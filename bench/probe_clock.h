// What the X probe's modes share: a monotonic clock in milliseconds, the
// deadline every wait gives up at, and how a mode reports that it failed.
#pragma once

#include <time.h>
#include <unistd.h>

#include <cstdio>

constexpr double kDeadlineMs = 5000;

inline double nowMs() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) * 1e3 +
         static_cast<double>(t.tv_nsec) / 1e6;
}

inline void sleepMs(double ms) { usleep(static_cast<useconds_t>(ms * 1000)); }

inline int fail(const char *what) {
  std::fprintf(stderr, "x_probe: %s\n", what);
  return 1;
}
