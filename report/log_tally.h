// What the log says about each key: read line by line into one tally per
// layout at once, since the layout may only be known at the log's end.
#pragma once

#include <cstdint>

#include "report/key_names.h"
#include "report/line_reader.h"

constexpr int kKeptAnomalies = 100;
constexpr int kKeptChatter = 100;

struct Anomaly {
  long long line; // 1-based
  const char *reason;
};

// A key that went down again sooner after its up than a person can.
struct Chatter {
  int name;
  double gapMs;
  long long line;
};

struct Tally {
  uint16_t down[kMaxNames]; // keys of the name down now
  bool everDown[kMaxNames];
  uint32_t presses[kMaxNames];
  double upAt[kMaxNames]; // when its last up was read, in seconds
  int keysDown;
  int maxHeld;
  // The close gesture: the last F4 down with an Alt down at that moment,
  // and that Alt; each -1 once it is up again.
  int gestureF4;
  int gestureAlt;
  int lastAlt; // the Alt that went down last
  Anomaly anomalies[kKeptAnomalies];
  long long anomalyCount;
  Chatter chatter[kKeptChatter];
  long long chatterCount;
};

struct LogReading {
  Tally tally[kLayoutCount];
  long long lines;    // lines read
  long long logLines; // lines that only a log has: a closing line or a
                      // transition of a key of either layout
  bool closed;
  KeyboardLayout closingLayout;
  bool jpNameSeen;
  // A watch stamps each batch of lines with the time it was read; a down
  // within chatterSeconds of its key's up is chatter. 0 when not watching.
  double now;
  double chatterSeconds;
  int lastName; // the last line's name when it was a transition, else -1
  bool lastDown;
};

enum KeyResult { KeyTested, KeyHeld, KeyNever };

void startLogReading(LogReading &reading, double chatterSeconds = 0);
void readLogLine(LogReading &reading, const NameTable &names, const Line &line);

// A name's state at the end; once the log is closed, the close gesture's
// Alt and F4 count as tested.
KeyResult finalState(const Tally &tally, bool closed, int name);

// Everything the outputs show, decided once the whole log is read (and
// again after each batch while watching).
struct Report {
  const char *logPath;
  KeyboardLayout layout;
  const char *layoutFrom; // "option", "closing line" or "names"
  bool closed;
  bool watched; // only a watch knows times, so only it reports chatter
  const NameTable *names;
  const Tally *tally; // the layout's
  int layoutIndex;
  int count[3]; // names tested, held, never
};

// option is LayoutUnset when --layout was not given.
void decideReport(Report &report, const LogReading &reading,
                  const NameTable &names, KeyboardLayout option);

// The index-th name of the report's grid order, and its result.
int reportName(const Report &report, int index);
KeyResult reportResult(const Report &report, int name);

// Calls visit(name, presses) for each name pressed more than once, in the
// grid's order.
template <typename Visit>
void forEachRepeatedKey(const Report &report, Visit visit) {
  for (int i = 0; i < report.names->orderCount[report.layoutIndex]; ++i) {
    const int name = reportName(report, i);
    if (report.tally->presses[name] > 1)
      visit(name, static_cast<unsigned>(report.tally->presses[name]));
  }
}
