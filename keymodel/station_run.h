// A station run as both windows drive it: the station's rules (station.h)
// with its two files, so a window calls one function per event and the
// log and the results can never disagree with what it shows.
//   log      Corvanekeyboardchecker.log, emptied at the start as a board
//            run's: the opening line with " station <name>", each unit's
//            start line, its transitions, and its PASS or FAIL line when
//            the verdict comes; keys after the verdict are not logged
//   results  keyboard-results-<name>.csv beside it, appended: the unit's
//            row, on the disk before the next unit starts
// Not thread-safe: a window that reads keys on one thread and takes the
// serial on another calls these under one lock.
#pragma once

#include <cstdint>
#include <string>

#include "keymodel/log_file.h"
#include "keymodel/station.h"

struct StationRun {
  Station station;
  LogFile log;
  LogFile results;
  std::string resultsName;
};

// Opens the results file, then the log, and starts unit 1 at ms. False,
// with error (one line, no line end) and nothing left open, when the
// results file cannot be opened, as when another copy has it: a station
// that cannot keep its results must not test. A log that cannot be opened
// leaves the run without one (log.state says why), as a board run.
bool openStationRun(StationRun &run, const Board &board, double chatterMs,
                    const std::string &name, uint64_t ms, std::string &error);

// A key event, as stationKey and stationOffBoardKey take it, logged when
// it counts for the unit, with the unit's verdict line after it when it
// brings the verdict.
StationStep stationRunKey(StationRun &run, int key, bool down, uint64_t ms);
StationStep stationRunOffBoardKey(StationRun &run, uint8_t code, bool down,
                                  uint64_t ms);

// The "Fail unit" button; and the keyboard under test gone (unplugged).
// True when the unit got its FAIL now.
bool stationRunFailUnit(StationRun &run, uint64_t ms);
bool stationRunKeyboardGone(StationRun &run, uint64_t ms);

// Enter, while the unit waits for its serial: its row is written and on
// the disk, then the next unit starts (and its start is logged). False
// when the row could not be written (the disk full, the file gone): the
// unit keeps waiting, and each Enter tries again, reopening the file.
bool stationRunEnter(StationRun &run, uint64_t ms);

// A keyboard plugged in: named for the unit under test when its test has
// not begun; while a unit waits for its serial, this is the next unit
// coming, so it is finished as by Enter first. False only when that row
// could not be written.
bool stationRunKeyboardCame(StationRun &run, const std::string &name,
                            uint64_t ms);

// The window closes: a unit waiting for its serial gets its row with the
// serial as typed (a unit still under test has no verdict and no row; its
// keys stay in the log), then the log's closing line. True when both
// files were whole to the end.
bool closeStationRun(StationRun &run);

// Why the results file stopped, for the window's notice; "" while it is
// written.
std::string stationResultsProblem(const StationRun &run);
