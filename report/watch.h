// keyboard-report --watch: follows a log while the checker writes it,
// shows each batch of lines as it arrives, and ends at the closing line or
// on Ctrl+C with the whole log read, as the report without --watch reads it.
#pragma once

#include <cstdio>

#include "report/verdict.h"

struct WatchRequest {
  const char *log;
  bool boardGiven; // reading's boards hold the one --board named
  double chatterMs;
  FILE *view; // where the live view goes
};

// reading comes with its candidate boards. False, with an errno-style code in
// error, when the log could not be read.
bool watchLog(const WatchRequest &request, LogReading &reading,
              const NameTable &names, int &error);
