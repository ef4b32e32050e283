// Board mode's command line. It is chosen by "--board" alone, so every
// command line without it keeps the classic rule (exactly "/jp" or "/en",
// anything else detects), and only a command line that asks for a board
// can be refused.
#pragma once

#include <string>

struct BoardOptions {
  const char *board;  // a preset's name or a board file's path
  double chatterMs;   // a down sooner than this after the up is chatter
  bool keymapLegends; // keycaps as the keymap prints them (--legends keymap)
  bool station;       // --station: one unit after another
  std::string stationName; // as given, else the host's (isStationName)
};

// Any argument is "--board".
bool asksForBoard(int argc, char **argv);

// "--board NAME|FILE", "--chatter MS", "--legends keymap|board" and
// "--station [NAME]", each at most once, in any order; false with a
// one-line message (no line end) for anything else, a station's name that
// breaks the name's rule included.
bool parseBoardOptions(int argc, char **argv, BoardOptions &options,
                       std::string &error);
