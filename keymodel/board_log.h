// The log of a board run. It is the classic log's file and form, a line
// per transition and a closing line, with the board's labels and the time
// of each change, and an opening line that says what the run judged
// against, so the report can judge it from the file alone, chatter and a
// run cut short included:
//   opening line: "Board test : <name> <fingerprint> chatter <ms>" CR LF
//   transition:   "<label> <down|up> <ms>" CR LF
//   closing line: "Keyboard type : <title> / board <name>" CR LF
// The label is the board's UTF-8 label, or for a key off the board the
// name offBoardLabel gives it; ms is a decimal integer, the milliseconds
// since the checker started. Labels never end in " down" or " up", so a
// line reads from its right end, and none is long enough to pass for an
// opening line. The chatter time is the one the run used, in ms.
//
// A station's log tests one unit after another: its opening line ends in
// " station <station>", and each unit's lines are bracketed, the end
// written at the unit's verdict, so any unit can be judged again from the
// log alone:
//   "Unit <n> : start <ms>" CR LF
//   ... that unit's transitions ...
//   "Unit <n> : PASS <ms>" or "Unit <n> : FAIL <ms>" CR LF
// A transition's word before its time is "down" or "up", so a unit line is
// never read as one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "keymodel/board.h"
#include "keymodel/log_file.h"

constexpr char kBoardOpeningPrefix[] = "Board test : ";
constexpr char kBoardClosingPrefix[] = "Keyboard type : ";
constexpr char kBoardClosingMarker[] = " / board ";

// What an opening line says.
struct BoardOpening {
  std::string name;
  std::string fingerprint; // boardFingerprint's 16 digits
  double chatterMs;
  std::string station; // a station's log; "" for one board run
};

// Creates or empties the log (as the classic log, see log_file.h) and
// writes the opening line; false when there is no log to write.
bool openBoardLog(LogFile &log, const Board &board, double chatterMs);

// The same for a station's log: the opening line names the station.
bool openStationLog(LogFile &log, const Board &board, double chatterMs,
                    const std::string &station);

// Each writes only while the log's state is LogWriting, and returns false
// when it did not write or the write stopped the log. The closing line is
// left out of a log that stopped short, which is then closed all the same.
bool writeBoardTransition(LogFile &log, const std::string &label, bool down,
                          uint64_t ms);
bool closeBoardLog(LogFile &log, const Board &board);

enum UnitMark { UnitStart, UnitPass, UnitFail };
bool writeUnitLine(LogFile &log, int unit, UnitMark mark, uint64_t ms);

// An opening line, without its line end.
bool parseBoardOpening(const char *text, size_t length, BoardOpening &out);

// One line without its line end. A transition with a time gives label,
// down and ms >= 0; a classic line without a time gives ms = -1.
struct LogTransition {
  std::string label;
  bool down;
  long long ms;
};
bool parseLogTransition(const char *text, size_t length, LogTransition &out);

// Whether a label ends in " down" or " up": its lines could not be read
// back, so a board may not have it.
bool endsInState(const std::string &label);

// The board named by a board run's closing line.
bool parseBoardClosingLine(const char *text, size_t length, std::string &name);

// A unit line, without its line end; unit numbers start at 1.
struct UnitLine {
  int unit;
  UnitMark mark;
  long long ms;
};
bool parseUnitLine(const char *text, size_t length, UnitLine &out);
