// Reads a log a line at a time through one fixed buffer, so memory stays
// flat however big the file is and however long a line runs.
#pragma once

#include <cstddef>
#include <cstdio>

// No log line comes near this; anything longer is only counted, never kept.
constexpr size_t kMaxLineLength = 256;
constexpr size_t kReadBufferSize = 64 * 1024;
constexpr size_t kHeadBytes = 64;

struct LineReader {
  FILE *file;
  size_t start; // the unread bytes are buffer[start, end)
  size_t end;
  bool atEof;
  // Following a file that is still being written: at its end, a partial
  // line is kept and ReadWait returned, and the next call reads on.
  bool follow;
  // Inside an overlong line whose end has not been written yet: the next
  // call skips on to it, so the line's rest is never read as a line.
  bool skipping;
  long long bytesRead;
  // The file's first bytes as read: a follower compares them with the
  // file's to tell a file emptied and written again.
  char head[kHeadBytes];
  size_t headLength;
  int error; // errno of a failed read, else 0
  char buffer[kReadBufferSize];
};

// One line without its LF (and without the CR before it). text is valid
// until the next call; for an overlong line it is empty.
struct Line {
  const char *text;
  size_t length;
  bool terminated; // it ended in LF, not at the end of the file
  bool overlong;   // longer than kMaxLineLength
};

enum ReadResult { ReadLine, ReadEnd, ReadError, ReadWait };

void startReading(LineReader &reader, FILE *file, bool follow = false);
ReadResult nextLine(LineReader &reader, Line &line);
