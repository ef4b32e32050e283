// What a watch shows while the checker runs: on a terminal one screen kept
// up to date in place, otherwise one stamped line per batch of log lines.
#pragma once

#include <cstdio>
#include <string>

#include "report/verdict.h"

constexpr int kBatchShown = 8; // transitions named on a batch's line

// The transitions of one batch, as the line mode names them.
struct Batch {
  std::string labels[kBatchShown]; // control characters escaped
  bool downs[kBatchShown];
  long long count;
};

enum WatchEvent {
  WatchReading,
  WatchWaiting,
  WatchEmptied,
  WatchClosedAtStart,
};

struct LiveView {
  FILE *out;
  bool ansi;
  const char *logPath;
  WatchEvent event;       // what the header says
  long long chatterShown; // chatter already printed as lines
  long long keyless;      // batches in a row with no key, one line for all
  double keylessAt;       // when the last of them came
};

void startLiveView(LiveView &view, FILE *out, const char *logPath);
// A change in the watch's state, with no lines to show.
void showWatchEvent(LiveView &view, const Report &report, WatchEvent event,
                    double at);
void showBatch(LiveView &view, const Report &report, const Batch &batch,
               double at);
// Leaves the cursor below the view, ready for the summary.
void endLiveView(LiveView &view);
