// Everything the outputs show, decided once the whole log is read (and
// again after each batch while watching): which board the log is of, each
// key's result, and the key model's verdict on them.
#pragma once

#include <string>
#include <vector>

#include "report/log_tally.h"

enum KeyResult { KeyTested, KeyHeld, KeyNever };

struct Report {
  const char *logPath;
  const Board *board;
  // "option", "opening line", "closing line" or "names"
  const char *boardFrom;
  // The log says its board (or --board does): a log cut short before its
  // closing line, and without an opening line, is never a PASS, since the
  // board its keys fit best may be a smaller one than was tested.
  bool boardNamed;
  bool closed;
  bool timed; // times known (from the log or a watch): chatter is reported
  const Tally *tally;
  // The tally's progress with the close gesture's keys let go: the
  // checker closed before their ups could be logged.
  BoardProgress progress;
  Verdict verdict;
  int count[3]; // keys tested, held, never: countBoard's, as the checkers
  // A classic Japanese log whose Yen and Ro were never down together.
  bool yenRoUntested;
};

// False, with problem (displayable, one line) when the reading's
// candidates hold no board the log can be of: a board that is no preset,
// a board file that took a preset's name, or --board given another board
// than the log's own.
bool decideReport(Report &report, const LogReading &reading, bool option,
                  std::string &problem);

// Why a log without its board named gets no PASS.
extern const char kBoardNotNamed[];

KeyResult reportResult(const Report &report, int key);
// The keys with that result, in the board's order.
std::vector<int> keysWithResult(const Report &report, KeyResult wanted);

// "hold Yen and Ro together to test both"
extern const char kYenRoHint[];

// Calls visit(key, presses) for each key pressed more than once, in the
// board's order.
template <typename Visit>
void forEachRepeatedKey(const Report &report, Visit visit) {
  for (size_t i = 0; i < report.progress.keys.size(); ++i)
    if (report.progress.keys[i].presses > 1)
      visit(static_cast<int>(i),
            static_cast<unsigned>(report.progress.keys[i].presses));
}

// A key's label as its cap shows it: a keypad key already stands in the
// keypad, so without "NumPad ".
const char *capText(const BoardKey &key);

// Cells of a monospaced font the character a UTF-8 lead byte begins takes:
// the CJK ideographs two, all else here one; and a whole label's cells.
int cellsOfLead(unsigned char lead);
int cellsOf(const char *text);
