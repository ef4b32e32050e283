// A production station: one unit (keyboard) after another in one window,
// numbered from 1. Each unit is a fresh board test whose progress and
// verdict are the key model's own; the station only adds when a unit
// ends and what happens after:
//   testing   PASS once every key is tested without chatter (the last key
//             comes up); FAIL at once when a key chatters, or when the
//             operator gives up on the unit (Fail unit) or its keyboard
//             goes away mid-test, naming the keys left untested;
//   serial    the verdict stands and keys no longer count for the unit;
//             the window takes the unit's serial as typed (a barcode
//             scanner types it and ends with Enter);
//   next      Enter (or another keyboard plugged in) finishes the unit:
//             its results row, then the next unit, the window cleared.
// Plain data and free functions without any I/O, so both windows drive
// it the same way and the rules are tested without a screen; the files
// are station_run.h's.
#pragma once

#include <cstdint>
#include <string>

#include "keymodel/board.h"
#include "keymodel/board_progress.h"
#include "keymodel/results_row.h"

enum UnitPhase { UnitTesting, UnitSerial };

struct StationUnit {
  int number; // from 1
  UnitPhase phase;
  BoardProgress progress; // this unit's keys only
  bool keySeen;           // a key of this unit went down or up
  double startMs;         // the checker's clock, as the log's times
  // Once the phase is UnitSerial:
  bool pass;
  bool gaveUp; // failed by the operator or by the keyboard going away
  Verdict verdict;
  double verdictMs;
  long long verdictTime; // the wall clock, seconds since 1970
  std::string serial;    // as typed so far: printable UTF-8
  std::string keyboard;  // the system's name for the keyboard, or ""
};

struct Station {
  std::string name; // isStationName
  const Board *board;
  double chatterMs;
  StationUnit unit; // the current one
  int passed, failed;
};

// Unit 1 starts at ms. The board must outlive the station.
void startStation(Station &station, const Board &board, double chatterMs,
                  const std::string &name, double ms);

enum StationStep {
  StepIgnored, // not for this unit: after its verdict, or a repeat
  StepCounted, // the unit's, to be logged
  StepVerdict, // the unit's, to be logged, and its verdict came with it
};

// A key of the board (by index) or one off it (by scan code) went down or
// up at ms. A transition that changes nothing is ignored, so a front end
// may pass on every event it gets.
StationStep stationKey(Station &station, int key, bool down, double ms);
StationStep stationOffBoardKey(Station &station, uint8_t code, bool down);

// The operator gives up: FAIL now, naming the keys left untested. False
// when the unit already has its verdict.
bool failUnit(Station &station, double ms);

// The keyboard under test went away: a unit that saw keys fails as if
// given up (it left the bench without passing); one that saw none waits
// for the next keyboard. True when it failed the unit.
bool unitKeyboardGone(Station &station, double ms);

// What the system calls the keyboard now plugged in or in use, kept for
// the unit (and those after it, until another is named) while its test
// has not begun; control characters dropped, cut to 128 bytes.
void nameUnitKeyboard(Station &station, const std::string &name);

// Serial entry, while the unit waits for it. typeSerial takes UTF-8 text
// and keeps only whole printable characters that fit in 64 bytes;
// eraseSerial takes the last character off. True when the serial changed.
bool typeSerial(Station &station, const std::string &text);
bool eraseSerial(Station &station);

// The finished unit's results row (the unit must have its verdict). An
// empty serial stays empty: the unit's number names it.
void unitResultRow(const Station &station, ResultRow &row);

// The next unit, numbered on, starting at ms with the window cleared.
void startNextUnit(Station &station, double ms);

// "unit 17 · 15 PASS · 1 FAIL" (UTF-8): the units so far and their
// verdicts, the one under test counted once it has its own.
std::string stationCount(const Station &station);
