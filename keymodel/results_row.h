// One finished unit of a production station, as its row in the station's
// results file (keyboard-results-<station>.csv). The row is written and
// read here alone, so the station that writes it and the report that
// reads many stations' files cannot drift apart on a column.
//
// The file is CSV as spreadsheets read it: UTF-8 (with a byte-order mark
// in front, which tells spreadsheets so), CR LF, a header row, cells in
// double quotes where they hold a comma, a quote or a blank at an end,
// quotes inside doubled. A cell that a spreadsheet would take for a
// formula (starting with = + - @) is written with a ' in front, and so is
// one that starts with ' itself; the reader takes one off.
//
// The key lists (untested, chatter, held) are one cell each: entries
// separated by one blank, an entry that holds a blank or a quote in double
// quotes with its quotes doubled: Esc F1 "NumPad 7". A chatter entry is
// LABEL:GAP, the gap in ms taken off at the last colon, so any label
// reads back: E:4.0 ::3.0 "NumPad 7:12.5".
#pragma once

#include <string>
#include <vector>

constexpr int kMaxSerialBytes = 64;
constexpr int kMaxKeyboardNameBytes = 128;
// Any row of a board of at most 255 keys stays under this (some 55 KB at
// worst, every label nothing but quotes), so a buffer this size takes a
// row in one write.
constexpr size_t kMaxRowBytes = 64 * 1024;
constexpr int kResultColumns = 13;

struct ChatterEntry {
  std::string label;
  double gapMs; // the key's shortest gap from up to down again
};

struct ResultRow {
  std::string time; // ISO 8601 with its zone: 2026-12-08T21:27:39+01:00
  std::string station;
  std::string board;  // the board's name
  int unit;           // from 1 in each station run
  std::string serial; // "" when none was given: the unit's number stands
  bool pass;
  // tested + untested + held add up to of, the board's keys.
  int tested, of;
  std::vector<std::string> untested; // labels, in the board's order
  std::vector<ChatterEntry> chatter;
  std::vector<std::string> held; // down when the verdict came
  double seconds;                // from the unit's start to its verdict
  std::string keyboard; // the name the system gives the keyboard, or ""
};

// The header row, without its line end.
extern const char kResultsHeader[];

// The row's line, CR LF included.
std::string formatResultRow(const ResultRow &row);

// A line without its line end (a byte-order mark already taken off).
// False with problem (one line, for "FILE: line N: PROBLEM") when it is no
// row; line is used as scratch.
bool parseResultRow(std::string &line, ResultRow &row, std::string &problem);

// The time as the time column writes it, in the computer's own zone.
std::string isoLocalTime(long long secondsSinceEpoch);

// One cell's text, and a key list's, each way; exposed for the tests.
std::string csvCell(const std::string &text);
std::string formatKeyList(const std::vector<std::string> &labels);
bool parseKeyList(const std::string &cell, std::vector<std::string> &labels);
std::string formatChatterList(const std::vector<ChatterEntry> &chatter);
bool parseChatterList(const std::string &cell,
                      std::vector<ChatterEntry> &chatter);

// Digits with at most one point between them ("41.3"), as the row writes
// its seconds and gaps, and the writing of one with a single decimal.
bool parseDecimal(const std::string &text, double &value);
std::string formatTenths(double value);
