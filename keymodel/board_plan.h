// The board window as data: where each keycap and its label go, in which
// colours and size, and what the status lines say, worked out from a
// board, the fonts' metrics and the progress alone. Both front ends only
// draw it, so the two windows cannot disagree, and the arrangement can be
// checked without a screen.
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
constexpr uint32_t kButtonColor = 0x00A0A0FF; // a station's "Fail unit": pink

// The font sizes the window is tried at, as GDI cell heights: the classic
// grid's 16 first, smaller only where the screen needs it, never below
// what can still be read.
constexpr int kBoardCellHeight = 16;
constexpr int kMinBoardCellHeight = 8;

// A label too wide for its keycap is drawn in the small face: the cell
// height of that face for a window at cellHeight.
int smallCellHeight(int cellHeight);

// The two faces a keycap's label may take.
enum BoardFace { FaceNormal, FaceSmall };

struct BoardMetrics {
  GridMetrics face[2]; // by BoardFace
};

// A text's width in pixels as the window's font of that face draws it:
// length bytes of UTF-8 at text. The front end measures; the plan only
// arranges.
using MeasureText = int (*)(void *context, int face, const char *text,
                            int length);

// One line of a keycap's caption: length bytes from offset, drawn with the
// top left of the line at x, y.
struct CapLine {
  int x, y;
  int offset, length;
};

struct BoardCap {
  int left, top, right, bottom; // the keycap, right and bottom excluded
  // What the keycap shows: the legend the user's keymap prints for the
  // key, or the board's label (a keypad key's without "NumPad ").
  std::string caption;
  CapLine lines[2]; // a caption with a blank may take two lines
  int lineCount;
  int face; // BoardFace; drawn clipped to the keycap whatever the face
  uint32_t fill, text; // from the key's progress
  bool chatter;        // framed in kChatterColor
};

// A station's own lines and its button, laid out only for a station's
// window (station_plan.cpp); the button is drawn, never a system control,
// so the window needs no pointer grab and both front ends look alike.
struct StationLines {
  bool shown; // the window is a station's
  // After the verdict, the serial typed so far, in kStatusTextColor.
  std::string prompt;
  int promptX, promptY;
  // "unit 17 · 15 PASS · 1 FAIL" in kStatusTextColor.
  std::string count;
  int countX, countY;
  // "Fail unit": a kButtonColor rectangle framed in kCapEdgeColor with its
  // label in kStatusTextColor while the unit is under test; grey as a
  // keycap never pressed, and deaf to clicks, after its verdict.
  std::string button;
  int buttonLeft, buttonTop, buttonRight, buttonBottom; // right, bottom out
  int buttonX, buttonY;                                 // the label
  bool buttonActive;
};

struct BoardPlan {
  const Board *board;
  int cellHeight;             // the fonts' size the plan was laid out for
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
  // Keys pressed that the board lacks, and what the window could not do
  // for the test (hold the keyboard, keep a key from the desktop), joined
  // by " · " in kStatusTextColor at noticeX, noticeY; cut at the window's
  // edge when longer.
  std::string notice;
  int noticeX, noticeY;
  StationLines station;
  int clientWidth, clientHeight; // fixed for a board and its fonts
};

// The rectangles, the captions' lines and faces and the client size: once
// per board and fonts. The unit follows the font alone, so a long label
// never widens every key: it goes on two lines, or into the small face,
// and is cut at its keycap's edge as a last resort. legends holds a
// caption per key, "" for the board's own label; it may be empty. A
// station's window has room for its lines and button too.
void layoutBoardPlan(BoardPlan &plan, const Board &board,
                     const BoardMetrics &metrics, MeasureText measure,
                     void *context, const std::vector<std::string> &legends,
                     bool station = false);

// The front end's fonts at a cell height (and the small face at its
// smallCellHeight), made current for measuring and drawing; their metrics
// into metrics. False when they cannot be made.
using OpenBoardFonts = bool (*)(void *context, int cellHeight,
                                BoardMetrics &metrics);

// The plan at the largest cell height from kBoardCellHeight down to
// kMinBoardCellHeight whose window fits maxWidth x maxHeight (the screen's
// work area less the window's frame). False when none fits: the board
// cannot be drawn on this screen.
bool fitBoardPlan(BoardPlan &plan, const Board &board,
                  const std::vector<std::string> &legends, int maxWidth,
                  int maxHeight, OpenBoardFonts open, MeasureText measure,
                  void *context, bool station = false);

// The colours, the chatter marks, the status line, the verdict and the
// keys off the board: on every repaint, from the progress of the same
// board. Clears the notice first.
void colourBoardPlan(BoardPlan &plan, const BoardProgress &progress);

// After colourBoardPlan: a run that is not logging says so in the status
// line, since a user who started it from a menu never sees stderr; one
// that is says where its log is (logPlace, "" when unknown) on the
// verdict's line until there is a verdict.
void noteBoardLogState(BoardPlan &plan, bool logging,
                       const std::string &logPlace = "");

// After colourBoardPlan: one more thing for the notice line.
void addBoardNotice(BoardPlan &plan, const std::string &notice);
