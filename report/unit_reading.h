// keyboard-report --unit N LOG: one unit of a station's log judged again
// from its own lines, between its start line and its verdict line, as if
// they were a board run's log of their own; no other unit's key counts.
// The station's own verdict is shown beside the one its lines give.
#pragma once

#include <cstdio>
#include <string>

#include "keymodel/board_log.h"
#include "report/verdict.h"

struct UnitReading {
  int unit;  // asked for with --unit; 0 for none
  int units; // unit start lines in the log
  bool found;
  bool ended; // its verdict line was read
  UnitMark verdict;
  long long startLine, endLine;
};

// Reads path into reading as readLog does, passing on the opening line
// and unit's lines alone, each with its own line number. False with an
// errno-style error when the file could not be read.
bool readUnitLog(const char *path, LogReading &reading, const NameTable &names,
                 double chatterMs, UnitReading &unit, int &error);

// After reading: why the report cannot go on, or "" when it can. A
// station's log read without --unit mixes its units, so it is refused,
// naming how many it holds; --unit needs a station's log holding that
// unit.
std::string stationLogProblem(const char *path, const LogReading &reading,
                              const UnitReading &unit);

// The unit's line after the summary, and the JSON with the unit's fields.
void writeUnitSummary(FILE *out, const LogReading &reading,
                      const UnitReading &unit, const Report &report);
bool writeUnitJson(FILE *out, const LogReading &reading,
                   const UnitReading &unit, const Report &report);
