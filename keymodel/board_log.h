// The log of a board run. It is the classic log's file and form, a line
// per transition and a closing line, with the board's labels and the time
// of each change, so the report can judge chatter and hold times from the
// file alone:
//   transition:   "<label> <down|up> <ms>" CR LF
//   closing line: "Keyboard type : <title> / board <name>" CR LF
// The label is the board's UTF-8 label; ms is a decimal integer, the
// milliseconds since the checker started. Labels never end in " down" or
// " up", so a line reads from its right end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "keymodel/board.h"
#include "keymodel/log_file.h"

constexpr char kBoardClosingPrefix[] = "Keyboard type : ";
constexpr char kBoardClosingMarker[] = " / board ";

// Each writes only while the log's state is LogWriting, and returns false
// when it did not write or the write stopped the log. The closing line is
// left out of a log that stopped short, which is then closed all the same.
bool writeBoardTransition(LogFile &log, const BoardKey &key, bool down,
                          uint64_t ms);
bool closeBoardLog(LogFile &log, const Board &board);

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
