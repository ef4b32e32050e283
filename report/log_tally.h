// What the log says about each key: read line by line against every board
// it may be of at once, since the board may only be known at the log's
// end, and fed into the key model's progress, which decides what tested,
// held and chatter mean.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "keymodel/board.h"
#include "keymodel/board_log.h"
#include "keymodel/board_progress.h"
#include "report/key_names.h"
#include "report/line_reader.h"

constexpr int kKeptAnomalies = 100;
// Faster than any person presses a key twice.
constexpr double kDefaultChatterMs = 30;
constexpr int kKeptChatter = 100;
constexpr int kKeptForeign = 100;
constexpr size_t kMaxLabelIds = 4096;

struct Anomaly {
  long long line; // 1-based
  const char *reason;
};

// A key that went down again sooner after its up than a person can.
struct Chatter {
  int key;
  double gapMs;
  long long line;
};

// A label in the log that the board has no key for, and its lines.
struct ForeignLabel {
  std::string label;
  long long lines;
};

// The log read against one board.
struct Tally {
  const Board *board;
  // Only the classic boards stay candidates for a classic log.
  bool active;
  std::vector<int> keyOfLabel;  // by the reading's label id; -1 none
  std::vector<int> foreignSlot; // by label id: its entry in foreign, or -1
  BoardProgress progress;
  long long keyLines; // transitions of the board's keys
  int keysDown;
  int maxHeld;
  // The close gesture: the last F4 down with an Alt down at that moment,
  // and that Alt; each -1 once it is up again. Key indices.
  int f4, alts[2];
  int gestureF4;
  int gestureAlt;
  int lastAlt; // the Alt that went down last
  // A classic Japanese log names Yen and Ro both "\": downs of "\" held
  // at once, and whether they are known to be on Yen and Ro.
  int yen, ro;
  int backslashes;
  bool backslashesKnown;
  Anomaly anomalies[kKeptAnomalies];
  long long anomalyCount;
  Chatter chatter[kKeptChatter];
  long long chatterCount;
  std::vector<ForeignLabel> foreign; // the first kKeptForeign labels
  long long foreignLines;
};

struct LogReading {
  std::vector<Board> boards; // the one asked for, or every preset
  std::vector<Tally> tally;  // parallel to boards
  // Every label of every candidate, numbered once, so a line is looked up
  // once however many boards it is read against.
  std::unordered_map<std::string, int> labelIds;
  long long lines; // lines read
  bool closed;
  bool classicClosing;
  KeyboardLayout closingLayout; // of a classic closing line
  std::string closingBoard;     // the board a board run's closing line names
  // A board run's first line: its board, that board's fingerprint and the
  // chatter time the run used.
  bool opened;
  BoardOpening opening;
  bool chatterGiven; // --chatter: the log's own chatter time is not taken
  // A log has times on every line or on none: its opening line, else its
  // first transition, says which; a line of the other kind contradicts it.
  bool timed;
  bool transitionSeen;
  std::vector<long long> lastMs; // by label id: its last own time
  // A watch stamps each batch of lines with the time it was read, in ms;
  // kNoTime when not watching.
  double now;
  double chatterMs;
  // The last line's transition, when it was one.
  bool lastIsKey;
  std::string lastLabel;
  bool lastDown;
};

// boards: the candidates, copied; chatterMs as --chatter gives it, or
// kNoTime for the log's own (30 ms when it names none).
void startLogReading(LogReading &reading, const std::vector<Board> &boards,
                     double chatterMs);
void readLogLine(LogReading &reading, const NameTable &names, const Line &line);
