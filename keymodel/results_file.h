// The station's results file on disk: a row per unit, appended across
// runs and never rewritten, each row on the disk before the next unit
// starts; and the same file read back a row at a time through one fixed
// buffer, so the report's memory stays flat however many units a file
// holds.
#pragma once

#include <cstdio>
#include <string>

#include "keymodel/log_file.h"
#include "keymodel/results_row.h"

// Opens name (in the current directory) as log_file.h opens a log: no
// link, FIFO or device, a second copy refused by its lock, but appended
// to, never emptied. A new file gets the byte-order mark and the header
// row; a file whose last row a crash cut short gets a line end first, so
// that row stays one bad row and the next one starts on its own line.
bool openResultsFile(LogFile &file, const char *name);

// The row in one write, flushed and synced to the disk; false when it did
// not get there (the file is stopped then, see log_file.h).
bool writeResultRow(LogFile &file, const char *name, const ResultRow &row);

struct ResultsReader {
  FILE *file;
  char buffer[64 * 1024];
  size_t start, end; // unread bytes: buffer[start, end)
  bool atEof;
  long long line; // the line of the row last returned, from 1
  bool headerSeen;
  std::string text; // the line being read
  int error;        // errno of a failed read, else 0
};

enum ResultsRead {
  ResultsRow,      // row holds the next row
  ResultsBadRow,   // the line at reader.line is no row: problem says why
  ResultsEnd,      // no more rows
  ResultsNoHeader, // the first line is not the header: not a results file
  ResultsFailed,   // a read failed: reader.error
};

void startResultsReading(ResultsReader &reader, FILE *file);
// Blank lines, and header rows after the first (files joined end to end),
// are passed over.
ResultsRead nextResultRow(ResultsReader &reader, ResultRow &row,
                          std::string &problem);
