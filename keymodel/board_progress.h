// What a test has shown so far for each key of a board, one transition at
// a time. The live board window and the report both feed it, so "tested",
// "held" and "chatter" mean one thing everywhere, and the verdict is one
// function over it.
#pragma once

#include <cstdint>
#include <vector>

#include "keymodel/board.h"

// Unknown time: a transition read from a log without times.
constexpr double kNoTime = -1;

struct KeyProgress {
  bool down;      // held now
  bool tested;    // went down and came up at least once
  bool chattered; // went down again within the chatter time of an up
  uint32_t presses;
  uint32_t chatters;    // downs that were chatter
  double lastUpMs;      // kNoTime until its first up
  double shortestGapMs; // up to down again; kNoTime until measured
};

struct BoardProgress {
  const Board *board;
  double chatterMs; // a down sooner than this after the up is chatter
  std::vector<KeyProgress> keys; // parallel to board->keys
  int tested; // keys that went down and up at least once, held now or not
  int held;
  int chattered;
  // Keys the board lacks: logged and counted, never judged.
  bool offBoardDown[256];
  bool offBoardSeen[256];
  int offBoard;     // distinct codes off the board that went down
  int lastOffBoard; // the code of the last of them to go down, -1 none
};

void startBoardProgress(BoardProgress &progress, const Board &board,
                        double chatterMs);

// One key, by its index in the board, went down or up at timeMs (ms since
// the checker started, or kNoTime). A transition that changes nothing (a
// down of a key already down) only counts as a press again.
void applyTransition(BoardProgress &progress, int key, bool down,
                     double timeMs);

// A key the board lacks, by its scan code; true when it changed (so it is
// logged), false for a repeat of the state it is in.
bool applyOffBoardTransition(BoardProgress &progress, uint8_t code, bool down);

// The board's keys split three ways, as every picture of a test counts
// them: tested (and not held now), held now, left (never went down);
// they add up to the board's keys.
struct BoardCounts {
  int tested, held, left;
};
BoardCounts countBoard(const BoardProgress &progress);

// PASS: every key tested, none held, none chattered. The reasons of a FAIL
// list key indices in board order.
struct Verdict {
  bool pass;
  std::vector<int> untested;  // never went down and up, not held
  std::vector<int> held;      // down at the end
  std::vector<int> chattered; // chatter seen
};

void judgeBoard(const BoardProgress &progress, Verdict &verdict);
