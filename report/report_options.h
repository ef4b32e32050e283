// keyboard-report's command line: what it may say and what each part
// asks for, apart from the running of it.
#pragma once

#include <vector>

#include "keymodel/board_progress.h"

// One line, for a usage error on stderr.
extern const char kUsage[];
// A printf format taking the log's default name.
extern const char kHelp[];

struct Options {
  const char *board = nullptr;
  bool boards = false;
  bool printBoard = false;
  bool json = false;
  const char *html = nullptr;
  const char *log = nullptr;
  bool watch = false;
  int unit = 0; // --unit: one unit of a station's log
  bool results = false;
  std::vector<const char *> files; // the LOG, or with --results the files
  bool help = false;
  bool version = false;
  double chatterMs = kNoTime; // the log's own, else 30
};

// False for a command line that is not one (a usage error). options.log
// is the first file named, else the checker's log in the current folder.
bool parseOptions(int argc, char **argv, Options &options);
