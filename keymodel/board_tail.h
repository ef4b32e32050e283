// Board mode's command line on Windows, where it comes as one tail: the
// board, then the options a board run takes. A path with blanks may come
// without quotes, as it always could: a tail whose words after the board
// are not those options is a board's name or path whole.
#pragma once

#include <string>

struct BoardTail {
  std::string board;       // a preset's name or a board file's path (UTF-8)
  bool boardLegends;       // "--legends board": keycaps with the board's labels
  bool station;            // "--station [NAME]"
  std::string stationName; // "" for the default
};

// "--board NAME|FILE [--legends board|keymap] [--station [NAME]]", the
// options in any order after the board, a value in double quotes when it
// has blanks; blanks and tabs around anything are dropped. False for a
// tail that does not start with "--board" and a blank: that tail is the
// classic option rule's. The bytes are only compared with ASCII, so the
// tail may be UTF-8.
bool boardTailFromCommandLine(const char *tail, BoardTail &out);
