// A log the program owns alone. Whatever sits at the log's name, a link
// planted there, a FIFO, a device or another running copy's log, is left
// untouched, and the program never blocks on it; and once a write fails
// or the file is gone from its name, nothing more is written, so a log
// that lacks its closing line is known to be short. The state is plain
// data, so any log of the program (the transition log, a board's log) is
// opened, checked and closed the same way.
#pragma once

#include <cstdio>

enum LogState {
  LogWriting,     // open, and every write so far reached the file
  LogNotCreated,  // the file could not be created; error says why
  LogNotRegular,  // a link, a folder, a FIFO or a device at the name
  LogInUse,       // another copy of the program is writing it
  LogWriteFailed, // a write failed; error says why
  LogGone,        // deleted or replaced while the program ran
};

struct LogFile {
  FILE *file; // open in text mode while the state is LogWriting
  LogState state;
  int error; // errno of the failure that ended the log, else 0
};

// Creates or empties name as a regular file this process alone writes;
// every other state leaves what is at name as it was. Each platform's
// build brings its own.
bool openLogFile(LogFile &log, const char *name);

// The same safety for a file that keeps what it holds, such as the
// station's results, which grow by a row per unit across runs: opened
// for appending, never emptied, in binary (the writer spells its own line
// ends). What the file held when opened, so the writer knows whether a
// header is due and whether a row cut short by a crash needs ending
// before the next one.
struct AppendStart {
  bool empty;       // new, or nothing in it yet
  bool openLastRow; // it ends without a line end
};
bool openAppendFile(LogFile &log, const char *name, AppendStart &start);

// Puts what was written and flushed on the disk itself, past the system's
// cache, so a power cut cannot take it back; a failure stops the file as
// a failed write does. True while the file is whole.
bool syncLogFile(LogFile &log);

// Whether name still leads to the open file.
bool logFileStillNamed(const LogFile &log, const char *name);

// Ends a batch of writes, which began with errno cleared: puts it on the
// disk, and on a failed write or a file gone from name stops the log.
// True while the log is whole.
bool endLogBatch(LogFile &log, bool written, const char *name);

// Each platform's own step of syncLogFile; true when the disk has it.
bool flushToDisk(FILE *file);

// Closes the file. True when the log was whole to its end.
bool closeLogFile(LogFile &log);

// Why there is no log, or no more of it, for a message; "" while writing.
const char *logStateText(const LogFile &log);
