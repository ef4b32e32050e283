// The log of key transitions: one line per key that went down or up
// between two keyboard snapshots, and a closing line naming the layout.
#pragma once

#include <cstdint>
#include <cstdio>

#include "keymodel/key_state.h"
#include "keymodel/layout.h"
#include "keymodel/log_file.h"

// Two snapshots and the index of the one the next reading goes into.
struct SnapshotPair {
  KeyState buffers[2];
  int index;
};

constexpr char kLogFileName[] = "Corvanekeyboardchecker.log";
constexpr char kClosingLineJP[] =
    "Keyboard type : Japanese 106 keyboard / DirectX\n";
constexpr char kClosingLineUS[] =
    "Keyboard type : PC/AT like US English keyboard / DirectX\n";

// What ends a line in the file as written: the log is CR LF on every
// platform, and only Windows' text mode turns "\n" into that by itself.
// Each platform's build brings its own definition.
extern const char kLogLineEnd[];

// Both buffers zeroed, so keys already held at the first reading log "down".
void clearSnapshots(SnapshotPair &pair);

// Creates or empties the log in the current directory (see log_file.h
// for what it refuses). Every call here skips writing unless the log's
// state is LogWriting.
bool openTransitionLog(LogFile &log);

// Writes one line per key whose bit 7 differs, in the fixed table order:
// function row, main block, navigation block, keypad ("NumPad " prefix).
// Returns the number of lines that changed, written or not.
int compareAndReport(LogFile &log, const KeyState &current,
                     const KeyState &previous, KeyboardLayout layout);

// One reading of the keyboard: read(state) fills the buffer the index
// names and must leave it as it was when it fails. A good reading is
// reported against the other buffer and moves the index on; a failed one
// leaves the pair alone. Readings fail at every loss of the keyboard (focus
// or acquisition), and moving on then would compare the next reading with
// an older snapshot, logging changes twice or losing them: so the other
// buffer always holds the last snapshot reported. True on a good reading.
template <typename Read>
bool takeReading(SnapshotPair &pair, LogFile &log, KeyboardLayout layout,
                 Read read) {
  KeyState &current = pair.buffers[pair.index];
  if (!read(current))
    return false;
  compareAndReport(log, current, pair.buffers[pair.index ^ 1], layout);
  pair.index ^= 1;
  return true;
}

// Writes the closing line for the layout and closes the file. True when
// the log was whole to its closing line; a log stopped earlier gets none.
bool closeTransitionLog(LogFile &log, KeyboardLayout layout);
