// What the log says about each key: read line by line into one tally per
// layout at once, since the layout may only be known at the log's end.
#pragma once

#include <cstdint>

#include "report/key_names.h"
#include "report/line_reader.h"

constexpr int kKeptAnomalies = 100;

struct Anomaly {
  long long line; // 1-based
  const char *reason;
};

struct Tally {
  uint16_t down[kMaxNames]; // keys of the name down now
  bool everDown[kMaxNames];
  int namesDown;
  int maxHeld;
  int last[2]; // the last two lines applied, newest first: name, or -1
  bool lastDown[2];
  Anomaly anomalies[kKeptAnomalies];
  long long anomalyCount;
};

struct LogReading {
  Tally tally[kLayoutCount];
  long long lines;    // lines read
  long long logLines; // lines that only a log has: a closing line or a
                      // transition of a key of either layout
  bool closed;
  KeyboardLayout closingLayout;
  bool jpNameSeen;
};

enum KeyResult { KeyTested, KeyHeld, KeyNever };

void startLogReading(LogReading &reading);
void readLogLine(LogReading &reading, const NameTable &names, const Line &line);

// A name's state at the end; the close gesture's Alt and F4 count as tested.
KeyResult finalState(const Tally &tally, const NameTable &names, int name);

// Everything the outputs show, decided once the whole log is read.
struct Report {
  const char *logPath;
  KeyboardLayout layout;
  const char *layoutFrom; // "option", "closing line" or "names"
  bool closed;
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
