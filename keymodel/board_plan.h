// The board window as data: where each keycap and its label go, in which
// colours, and what the status line says, worked out from a board, the
// font's metrics and the progress alone. Both front ends only draw it, so
// the two windows cannot disagree, and the arrangement can be checked
// without a screen.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "keymodel/board.h"
#include "keymodel/board_progress.h"
#include "keymodel/grid_plan.h"

// COLORREF values (0x00BBGGRR); an X11 front end swaps red and blue.
constexpr uint32_t kBoardBackColor = 0x00F0F0F0;
constexpr uint32_t kCapEdgeColor = 0x00808080;
constexpr uint32_t kNeverFillColor = 0x00DCDCDC; // never pressed: grey
constexpr uint32_t kNeverTextColor = 0x00505050;
constexpr uint32_t kTestedFillColor = 0x00D08C3C; // went down and up: blue
constexpr uint32_t kTestedTextColor = 0x00FFFFFF;
constexpr uint32_t kHeldFillColor = 0x001E96FF; // down now: orange
constexpr uint32_t kHeldTextColor = 0x00000000;
constexpr uint32_t kChatterColor = 0x000000E0; // the chatter frame: red
constexpr uint32_t kStatusTextColor = 0x00000000;
constexpr uint32_t kPassColor = 0x00008000;
constexpr uint32_t kFailColor = 0x000000E0;

// A label's width in pixels as the window's font draws it: length bytes of
// UTF-8 at text. The front end measures; the plan only arranges.
using MeasureText = int (*)(void *context, const char *text, int length);

// One line of a keycap's label: length bytes of the key's UTF-8 label from
// offset, drawn with the top left of the line at x, y.
struct CapLine {
  int x, y;
  int offset, length;
};

struct BoardCap {
  int left, top, right, bottom; // the keycap, right and bottom excluded
  CapLine lines[2];             // a label with a blank may take two lines
  int lineCount;
  uint32_t fill, text; // from the key's progress
  bool chatter;        // framed in kChatterColor
};

struct BoardPlan {
  const Board *board;
  int unit;                   // one key unit in pixels
  int frame;                  // the chatter frame's width in pixels
  std::vector<BoardCap> caps; // parallel to board->keys
  // "tested N of M · K held · L left", UTF-8, at statusX, statusY.
  std::string status;
  int statusX, statusY;
  // Empty until every key is tested, then "PASS" or "FAIL: ..." in
  // verdictColor at verdictX, verdictY.
  std::string verdict;
  uint32_t verdictColor;
  int verdictX, verdictY;
  // Empty, or what the window could not do for the test (hold the
  // keyboard, keep a key from the desktop), in kStatusTextColor at
  // noticeX, noticeY. Set by the front end after colourBoardPlan.
  std::string notice;
  int noticeX, noticeY;
  int clientWidth, clientHeight; // fixed for a board and a font
};

// The rectangles, the label lines and the client size: once per board and
// font. The unit is the larger of what two lines of text need and what the
// widest label needs in its keycap.
void layoutBoardPlan(BoardPlan &plan, const Board &board,
                     const GridMetrics &metrics, MeasureText measure,
                     void *context);

// The colours, the chatter marks, the status line and the verdict: on
// every repaint, from the progress of the same board.
void colourBoardPlan(BoardPlan &plan, const BoardProgress &progress);

// After colourBoardPlan: a run that is not logging says so in the status
// line, since a user who started it from a menu never sees stderr.
void noteBoardLogState(BoardPlan &plan, bool logging);
